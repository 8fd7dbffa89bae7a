#pragma once

#include <QSemaphore>

#include "desktop/background_work.h"

namespace zx {

// Background work for tests. It runs at once, on the caller's thread, so the virtual clock
// drives everything as before; once held, it runs on a thread of its own instead and waits
// there until released, the way a large file keeps the worker busy.
class HeldWork : public BackgroundWork {
  public:
    HeldWork() = default;
    ~HeldWork() override { release(); }
    HeldWork(const HeldWork&) = delete;
    HeldWork& operator=(const HeldWork&) = delete;

    void start(std::function<void()> work, QObject* owner, std::function<void()> done) override {
        if (!held_) {
            work();
            done();
            return;
        }
        ++waiting_;
        thread_.start(
            [this, work = std::move(work)] {
                gate_.acquire();
                work();
            },
            owner, std::move(done));
    }

    void hold() { held_ = true; }
    // Lets the waiting work run and hands over what it gave; work runs at once from now on.
    void release() {
        held_ = false;
        gate_.release(waiting_);
        waiting_ = 0;
        thread_.finish();
    }

  private:
    bool held_ = false;
    int waiting_ = 0;
    QSemaphore gate_;
    ThreadedWork thread_;
};

} // namespace zx
