#pragma once

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/port_list.h"
#include "platform/serial_device.h"
#include "platform/timer_hub.h"

namespace zx {

// Every platform service the device side uses: the link, its timers and its messages.
struct Platform {
    TimerHub& timers;
    Clock& clock;
    SerialDevice& serial;
    PortList& ports;
    Dialogs& dialogs;
};

} // namespace zx
