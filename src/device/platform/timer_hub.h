#pragma once

#include <array>
#include <functional>

namespace zx {

// The program's named window timers. Every one is periodic until its handler stops it.
enum class TimerId : int {
    Timer1,     // poll, 500 ms
    Timer2,     // recall time-out, 13000 ms
    Timer3,     // recall progress, 400 ms
    Timer4,     // resume after a parameter write, 300 ms
    Timer5,     // progress, 300 ms
    Timer7,     // parameter write after a pick, 200 ms
    Timer10,    // connecting progress, 100 ms
    Timer15,    // file-load progress, 300 ms
    sendTimer,  // send-slot scan, 10 ms
    intimer,    // poll watchdog, 2000 ms
    chcon,      // handshake: no byte at all, 800 ms
    chcon112,   // handshake: no parameter block, 1500 ms
    chcon188,   // handshake: no preset names, 2500 ms
    refurbish,  // port-list refresh, 2000 ms
    TimerONOFF, // link indicator, 100 ms
    saveTimer,  // no block for a file save, 3000 ms
};
inline constexpr int kTimerCount = 16;

constexpr int TimerInterval(TimerId id) {
    constexpr std::array<int, kTimerCount> ms = {500, 13000, 400, 300,  300,  200,  100, 300,
                                                 10,  2000,  800, 1500, 2500, 2000, 100, 3000};
    return ms[static_cast<int>(id)];
}
const char* TimerName(TimerId id);

// The window timers, all on the user-interface thread. Starting a running timer leaves its
// interval alone; stopping and starting it begins a fresh interval.
class TimerHub {
  public:
    virtual ~TimerHub() = default;

    void setHandler(TimerId id, std::function<void()> handler) {
        handlers_[static_cast<int>(id)] = std::move(handler);
    }
    virtual void start(TimerId id) = 0;
    virtual void stop(TimerId id) = 0;
    virtual bool isActive(TimerId id) const = 0;

    // For a timer whose ticks do nothing while `idle` holds, until its owner calls wake():
    // a hub may leave those ticks out (the timer stays active), provided the ticks after a
    // wake come when they would have come anyway. The program's hub does, so that a
    // connected program sleeps between its 10 ms scans; the virtual clock ticks on.
    void setIdleWhile(TimerId id, std::function<bool()> idle) {
        idle_[static_cast<int>(id)] = std::move(idle);
    }
    virtual void wake(TimerId) {}

  protected:
    // Runs the handler of a timer whose interval has elapsed.
    void fire(TimerId id) {
        auto& h = handlers_[static_cast<int>(id)];
        if (h) h();
    }
    bool idle(TimerId id) const {
        const auto& f = idle_[static_cast<int>(id)];
        return f && f();
    }

  private:
    std::array<std::function<void()>, kTimerCount> handlers_;
    std::array<std::function<bool()>, kTimerCount> idle_;
};

} // namespace zx
