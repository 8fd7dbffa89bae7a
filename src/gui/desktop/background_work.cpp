#include "desktop/background_work.h"

#include <QCoreApplication>
#include <QPointer>

namespace zx {

ThreadedWork::ThreadedWork() {
    // One thread keeps the results in the order the work was asked for.
    pool_.setMaxThreadCount(1);
}

ThreadedWork::~ThreadedWork() {
    pool_.waitForDone();
}

void ThreadedWork::start(std::function<void()> work, QObject* owner, std::function<void()> done) {
    // Made here, on the window's thread, and only read there; the worker merely carries it.
    auto guard = std::make_shared<QPointer<QObject>>(owner);
    pool_.start([this, work = std::move(work), guard, done = std::move(done)] {
        work();
        QMetaObject::invokeMethod(
            &receiver_,
            [guard, done] {
                if (*guard) done();
            },
            Qt::QueuedConnection);
    });
}

void ThreadedWork::finish() {
    pool_.waitForDone();
    QCoreApplication::sendPostedEvents(&receiver_, QEvent::MetaCall);
}

} // namespace zx
