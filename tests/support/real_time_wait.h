#pragma once

#include <cstdint>
#include <functional>

#include "platform/qt_platform.h"

namespace zx {

// Runs the event loop in real time until `done` holds or `limitMs` have passed; false then.
inline bool WaitFor(QtClock& clock, const std::function<bool()>& done, int limitMs) {
    const auto start = clock.tickMs();
    while (!done()) {
        if (clock.tickMs() - start > static_cast<std::uint64_t>(limitMs)) return false;
        clock.pumpWait(20);
    }
    return true;
}

} // namespace zx
