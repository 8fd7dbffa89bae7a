#include "doubles/virtual_clock.h"

#include <algorithm>

namespace zx {

void VirtualClock::queue(std::int64_t atUs, Event e) {
    events_.emplace(Key{std::max(atUs, nowUs_), seq_++}, std::move(e));
}

void VirtualClock::schedule(TimerId id, std::int64_t due) {
    auto& t = timers_[int(id)];
    t.due = due;
    queue(due, Event{true, int(id), t.generation, {}});
}

void VirtualClock::start(TimerId id) {
    auto& t = timers_[int(id)];
    if (t.active) return;
    t.active = true;
    ++t.generation;
    schedule(id, nowUs_ + std::int64_t(TimerInterval(id)) * 1000);
}

void VirtualClock::stop(TimerId id) {
    auto& t = timers_[int(id)];
    if (!t.active) return;
    t.active = false;
    ++t.generation;
    t.due = -1;
}

std::int64_t VirtualClock::dueUs(TimerId id) const {
    return timers_[int(id)].active ? timers_[int(id)].due : -1;
}

void VirtualClock::postWindowEvent(std::function<void()> fn, std::int64_t atUs) {
    queue(atUs < 0 ? nowUs_ : atUs, Event{true, -1, 0, std::move(fn)});
}

void VirtualClock::postLineEvent(std::function<void()> fn, std::int64_t atUs) {
    queue(atUs, Event{false, -1, 0, std::move(fn)});
}

bool VirtualClock::runNext(std::int64_t limitUs, bool windowEvents) {
    for (auto it = events_.begin(); it != events_.end() && it->first.first <= limitUs;) {
        const Event& e = it->second;
        if (e.timer >= 0 &&
            (!timers_[e.timer].active || timers_[e.timer].generation != e.generation)) {
            it = events_.erase(it); // a tick of a timer stopped since
            continue;
        }
        if (e.window && !windowEvents) {
            ++it;
            continue;
        }
        nowUs_ = std::max(nowUs_, it->first.first);
        Event run = std::move(it->second);
        events_.erase(it);
        if (run.timer >= 0)
            runTick(run.timer, run.generation);
        else if (run.fn)
            run.fn();
        return true;
    }
    return false;
}

void VirtualClock::runTick(int timer, std::uint64_t generation) {
    auto& t = timers_[timer];
    if (!t.active || t.generation != generation) return;
    const auto id = TimerId(timer);
    const std::int64_t interval = std::int64_t(TimerInterval(id)) * 1000;
    // Ticks missed while the window thread was blocked collapse into this one.
    std::int64_t next = t.due + interval;
    if (next <= nowUs_) next += ((nowUs_ - next) / interval + 1) * interval;
    schedule(id, next);
    fire(id);
}

void VirtualClock::pumpWait(int ms) {
    ++depth_;
    const std::int64_t end = nowUs_ + std::int64_t(std::max(ms, 0)) * 1000;
    // Whatever is already due runs at least once, even when a blocking handler has carried
    // the time past the end.
    while (runNext(std::max(end, nowUs_), true)) {
    }
    nowUs_ = std::max(nowUs_, end);
    --depth_;
}

void VirtualClock::block(std::int64_t us) {
    const std::int64_t end = nowUs_ + std::max<std::int64_t>(us, 0);
    while (runNext(end, false)) {
    }
    nowUs_ = std::max(nowUs_, end);
}

bool VirtualClock::runUntil(const std::function<bool()>& pred, int limitMs) {
    ++depth_;
    const std::int64_t end = nowUs_ + std::int64_t(std::max(limitMs, 0)) * 1000;
    bool met = pred();
    while (!met && runNext(std::max(end, nowUs_), true)) met = pred();
    if (!met) nowUs_ = std::max(nowUs_, end);
    --depth_;
    return met;
}

} // namespace zx
