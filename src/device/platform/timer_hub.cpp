#include "platform/timer_hub.h"

namespace zx {

const char* TimerName(TimerId id) {
    static constexpr std::array<const char*, kTimerCount> names = {
        "Timer1",   "Timer2",    "Timer3",     "Timer4",   "Timer5", "Timer7",
        "Timer10",  "Timer15",   "sendTimer",  "intimer",  "chcon",  "chcon112",
        "chcon188", "refurbish", "TimerONOFF", "saveTimer"};
    return names[static_cast<int>(id)];
}

} // namespace zx
