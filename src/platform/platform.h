#pragma once

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/port_list.h"
#include "platform/serial_device.h"
#include "platform/timer_hub.h"

namespace zx {

// Every platform service the program uses; QtPlatform in the program, TestPlatform in tests.
struct Platform {
    TimerHub& timers;
    Clock& clock;
    SerialDevice& serial;
    PortList& ports;
    Dialogs& dialogs;
};

} // namespace zx
