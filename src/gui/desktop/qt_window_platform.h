#pragma once

#include "desktop/window_dialogs.h"
#include "platform/network_ports.h"
#include "platform/path_port_list.h"
#include "platform/qt_platform.h"
#include "platform/routed_serial.h"

class QWidget;

namespace zx {

// Qt's message boxes and file dialogs, parented to the main window once it exists.
class QtDialogs : public WindowDialogs {
  public:
    void setParent(QWidget* parent) { parent_ = parent; }
    void message(const QString& text) override;
    bool askYesNo(const QString& caption, const QString& text) override;
    QString saveFileName(const QString& filterText, const QString& defaultName) override;
    QString openFileName(const QString& filterText, const QString& defaultName) override;
    int execModal(QDialog& dialog) override;
    QString chooseItem(const QString& caption, const QString& label,
                       const QStringList& items) override;

  private:
    QWidget* parent_ = nullptr;
};

// The program's platform.
class QtPlatform {
  public:
    // `portPath`: a device listed beside the machine's ports (zephranox --port PATH).
    explicit QtPlatform(const QString& portPath = {}) : pathPorts{systemPorts, portPath} {}

    WindowPlatform platform() { return {timers, clock, serial, ports, dialogs, work}; }

    QtTimerHub timers;
    QtClock clock;
    RoutedSerialDevice serial;
    SystemPortList systemPorts;
    PathPortList pathPorts;
    NetworkPortList ports{pathPorts};
    QtDialogs dialogs;
    ThreadedWork work;
};

} // namespace zx
