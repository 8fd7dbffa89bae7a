#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <utility>

#include "platform/clock.h"
#include "platform/timer_hub.h"

namespace zx {

// Virtual time for tests, in microseconds from 0. Two kinds of events are queued:
// - window events (timer ticks, receive notifications, posted user input), which run only
//   inside pumpWait (and advance / runUntil, which are pumpWait seen from the test);
// - line events (bytes arriving at either end of a serial line), which also run while the
//   window thread is blocked in a pause or a write.
// Events run in time order, ties in the order they were queued. A timer whose tick was due
// while the window thread was blocked fires once, late, and keeps its original grid.
class VirtualClock : public Clock, public TimerHub {
  public:
    // Clock
    std::uint64_t tickMs() const override { return std::uint64_t(nowUs_ / 1000); }
    void pumpWait(int ms) override;
    void pause(int ms) override { block(std::int64_t(ms) * 1000); }

    // TimerHub
    void start(TimerId id) override;
    void stop(TimerId id) override;
    bool isActive(TimerId id) const override { return timers_[int(id)].active; }
    // When the running timer fires next (microseconds), -1 when stopped.
    std::int64_t dueUs(TimerId id) const;

    std::int64_t nowUs() const { return nowUs_; }
    // Queues a window event (user input, a notification) at atUs (now if earlier).
    void postWindowEvent(std::function<void()> fn, std::int64_t atUs = -1);
    // Queues a line event at atUs (now if earlier).
    void postLineEvent(std::function<void()> fn, std::int64_t atUs);
    // The window thread is busy for us microseconds: only line events run.
    void block(std::int64_t us);

    // The test's view: let ms pass with the window thread idle.
    void advance(int ms) { pumpWait(ms); }
    // Runs events until pred() holds (checked after every event) or limitMs have passed.
    bool runUntil(const std::function<bool()>& pred, int limitMs);
    // How many pumpWait calls are running (0 outside, 1 in advance, more when nested).
    int pumpDepth() const { return depth_; }

  private:
    struct Event {
        bool window;
        int timer; // -1, or the TimerId of a tick
        std::uint64_t generation;
        std::function<void()> fn;
    };
    using Key = std::pair<std::int64_t, std::uint64_t>; // time, sequence
    struct TimerState {
        bool active = false;
        std::uint64_t generation = 0;
        std::int64_t due = -1;
    };

    void queue(std::int64_t atUs, Event e);
    void schedule(TimerId id, std::int64_t due);
    // Runs the first event at or before limit the filter allows; false if there is none.
    bool runNext(std::int64_t limitUs, bool windowEvents);
    void runTick(int timer, std::uint64_t generation);

    std::int64_t nowUs_ = 0;
    std::uint64_t seq_ = 0;
    std::multimap<Key, Event> events_;
    std::array<TimerState, kTimerCount> timers_{};
    int depth_ = 0;
};

} // namespace zx
