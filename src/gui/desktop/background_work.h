#pragma once

#include <QObject>
#include <QThreadPool>

#include <functional>
#include <memory>
#include <optional>

namespace zx {

// Work that would hold up the window's thread for too long (reading and smoothing a large
// measurement). It runs elsewhere, and what it gives comes back on the window's thread, in
// the order the work was started, unless the object that asked for it is gone by then.
class BackgroundWork {
  public:
    virtual ~BackgroundWork() = default;

    // `work` (no window, no model: it runs on another thread) gives a Result that `done`
    // takes on the window's thread.
    template <typename Work, typename Done> void run(QObject* owner, Work work, Done done) {
        using Result = decltype(work());
        auto result = std::make_shared<std::optional<Result>>();
        start([result, work = std::move(work)] { result->emplace(work()); }, owner,
              [result, done = std::move(done)] { done(std::move(**result)); });
    }

    virtual void start(std::function<void()> work, QObject* owner, std::function<void()> done) = 0;
};

// One thread of its own, one piece of work after another.
class ThreadedWork : public BackgroundWork {
  public:
    ThreadedWork();
    // Waits for the work under way; what it gives is dropped.
    ~ThreadedWork() override;
    ThreadedWork(const ThreadedWork&) = delete;
    ThreadedWork& operator=(const ThreadedWork&) = delete;

    void start(std::function<void()> work, QObject* owner, std::function<void()> done) override;

    // Waits until every piece of work has run, then hands over what they gave at once
    // (tests, which cannot wait for the window's event loop).
    void finish();

  private:
    QObject receiver_; // on the window's thread: what comes back is delivered through it
    QThreadPool pool_;
};

} // namespace zx
