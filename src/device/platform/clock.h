#pragma once

#include <cstdint>

namespace zx {

// Time on the user-interface thread.
class Clock {
  public:
    virtual ~Clock() = default;

    // Milliseconds since an arbitrary start; it does not wrap.
    virtual std::uint64_t tickMs() const = 0;
    // Waits ms milliseconds while handling timer events, receive notifications and user input.
    // A handler run inside it may call it again.
    virtual void pumpWait(int ms) = 0;
    // A plain pause that handles nothing.
    virtual void pause(int ms) = 0;
};

} // namespace zx
