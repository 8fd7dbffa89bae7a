#pragma once

#include <QElapsedTimer>
#include <QObject>
#ifndef _WIN32
#include <QSerialPort>
#endif
#include <QTimer>

#include <array>
#include <map>
#include <memory>

#include "platform/clock.h"
#include "platform/port_list.h"
#include "platform/serial_device.h"
#include "platform/timer_hub.h"

namespace zx {

// QTimer per named timer, on the thread that made the hub. A timer that is idle after a
// tick dozes: its QTimer stops, the timer stays active, and a wake puts it back on the
// grid of its earlier ticks.
class QtTimerHub : public TimerHub {
  public:
    QtTimerHub();
    void start(TimerId id) override;
    void stop(TimerId id) override;
    bool isActive(TimerId id) const override;
    void wake(TimerId id) override;

  private:
    void tick(int i);

    std::array<std::unique_ptr<QTimer>, kTimerCount> timers_;
    std::array<bool, kTimerCount> dozing_{};
    // When each timer last ticked or was started, on clock_.
    std::array<qint64, kTimerCount> lastTick_{};
    QElapsedTimer clock_;
};

// The Qt event loop as the clock: pumpWait runs a nested event loop.
class QtClock : public Clock {
  public:
    QtClock() { elapsed_.start(); }
    std::uint64_t tickMs() const override { return std::uint64_t(elapsed_.elapsed()); }
    void pumpWait(int ms) override;
    void pause(int ms) override;

  private:
    QElapsedTimer elapsed_;
};

#ifndef _WIN32
// QSerialPort; readyRead becomes the data-available notification.
class QtSerialDevice : public QObject, public SerialDevice {
    Q_OBJECT
  public:
    QtSerialDevice();
    bool open(const QString& deviceName) override;
    bool isOpen() const override { return port_.isOpen(); }
    bool write(const QByteArray& bytes) override;
    int bytesQueued() override;
    std::optional<QByteArray> read(int maxBytes) override;
    void purge() override;
    void close() override;

  protected:
    void postNotification() override;

  private:
    static constexpr int kReadErrorsForFailure = 3;

    QSerialPort port_;
    int readErrors_ = 0; // in a row, without data in between
};
#endif

// Linux: the system's serial ports plus the virtual ports /dev/ttyV<digits> that lead to a
// pseudo-terminal. Each entry keeps the number it first got, so a number always names the
// same device. Windows: the SERIALCOMM registry key with the COM naming rules.
class SystemPortList : public PortList {
  public:
    // Where the listing looks (Linux): the device nodes, with the virtual ports, and the
    // kernel's tty class.
    explicit SystemPortList(QString devDir = QStringLiteral("/dev"),
                            QString ttyClassDir = QStringLiteral("/sys/class/tty"));

    std::optional<QStringList> list() override;
    int portNumber(const QString& entry) override;
    QString deviceName(int portNumber) const override;

  private:
    QString devDir_;
    QString ttyClassDir_;
    // The system's answer and the directory names it was given for.
    std::optional<QStringList> systemPorts_;
    QStringList signature_;
    std::map<QString, int> numbers_;
    std::map<int, QString> names_;
};

// The virtual ports in dir: entries ttyV<digits> that are symbolic links to a pseudo-terminal.
QStringList VirtualSerialPorts(const QString& dir = QStringLiteral("/dev"));

} // namespace zx

#ifdef _WIN32
namespace zx {
// The data of every value under HKEY_LOCAL_MACHINE "HARDWARE\DEVICEMAP\SERIALCOMM".
std::optional<QStringList> RegistrySerialPorts();
} // namespace zx
#endif
