#pragma once

#include "desktop/background_work.h"
#include "platform/network_ports.h"
#include "platform/platform.h"

#include <QStringList>

class QDialog;

namespace zx {

// The dialogs of the windowed program: the device side's messages, questions and file names,
// and dialog windows of its own shown modally.
class WindowDialogs : public Dialogs {
  public:
    // Shows a dialog window modally; its result code (QDialog::Accepted or Rejected).
    virtual int execModal(QDialog& dialog) = 0;
    // One of `items`, chosen from a list under `label`; empty when cancelled.
    virtual QString chooseItem(const QString& caption, const QString& label,
                               const QStringList& items) = 0;
};

// Every platform service the windowed program uses; QtPlatform in the program, TestPlatform
// in tests.
struct WindowPlatform {
    TimerHub& timers;
    Clock& clock;
    SerialDevice& serial;
    // The serial ports and the network ports in use; the window adds to the network ones.
    NetworkPortList& ports;
    WindowDialogs& dialogs;
    // Reading and smoothing measurements, off the window's thread.
    BackgroundWork& work;
};

} // namespace zx
