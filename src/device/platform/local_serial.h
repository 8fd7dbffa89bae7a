#pragma once

// The serial device of the machine's own ports: QSerialPort on Linux, the Windows serial
// communications interface on Windows.
#ifdef _WIN32
#include "platform/win_serial_device.h"
namespace zx {
using LocalSerialDevice = WinSerialDevice;
} // namespace zx
#else
#include "platform/qt_platform.h"
namespace zx {
using LocalSerialDevice = QtSerialDevice;
} // namespace zx
#endif
