#pragma once

#include <QObject>

#include "platform/local_serial.h"
#include "platform/network_serial.h"
#include "platform/qt_platform.h"

namespace zx {

// The serial device the programs open: a network address goes to a device server, any other
// name to a local port.
class RoutedSerialDevice : public QObject, public SerialDevice {
    Q_OBJECT
  public:
    RoutedSerialDevice();

    bool open(const QString& deviceName) override;
    bool isOpen() const override { return active_ && active_->isOpen(); }
    bool opening() const override { return active_ && active_->opening(); }
    bool write(const QByteArray& bytes) override;
    int bytesQueued() override;
    std::optional<QByteArray> read(int maxBytes) override;
    void purge() override;
    void close() override;

    LocalSerialDevice& local() { return local_; }
    NetworkSerialDevice& network() { return network_; }

  protected:
    void postNotification() override;

  private:
    LocalSerialDevice local_;
    NetworkSerialDevice network_;
    SerialDevice* active_ = nullptr;
};

} // namespace zx
