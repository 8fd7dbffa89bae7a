#pragma once

#include <functional>

#include "desktop/window_dialogs.h"
#include "doubles/virtual_clock.h"
#include "doubles/virtual_serial.h"
#include "platform/network_ports.h"
#include "sim/sim_amplifier.h"
#include "window_doubles/held_work.h"
#include "window_doubles/scripted_dialogs.h"

namespace zx {

// Everything a test needs to run the program without hardware or real time: the virtual
// clock, the simulated amplifier on a virtual line named COM3 (port 3), a port list holding
// that one entry, scripted dialogs, and background work that runs at once.
class TestPlatform {
  public:
    TestPlatform() = default;
    TestPlatform(const TestPlatform&) = delete;
    TestPlatform& operator=(const TestPlatform&) = delete;

    WindowPlatform platform() { return {clock, clock, serial, networkPorts, dialogs, work}; }

    void advance(int ms) { clock.advance(ms); }
    bool runUntil(const std::function<bool()>& pred, int limitMs) {
        return clock.runUntil(pred, limitMs);
    }

    VirtualClock clock;
    SimAmplifier sim;
    VirtualSerialDevice serial{clock, sim};
    FakePortList ports;
    NetworkPortList networkPorts{ports}; // the window's list: ports and the network ports added
    ScriptedDialogs dialogs{&clock};
    HeldWork work; // at once, unless a test holds it
};

} // namespace zx
