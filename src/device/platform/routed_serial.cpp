#include "platform/routed_serial.h"

#include "platform/network_address.h"

namespace zx {

RoutedSerialDevice::RoutedSerialDevice() {
    for (SerialDevice* d :
         {static_cast<SerialDevice*>(&local_), static_cast<SerialDevice*>(&network_)}) {
        // The device's own notification may come after this one's handler has already read
        // its bytes; passed on empty, it would start a read pause with nothing waiting and
        // cut the next reply at whatever has arrived by its end.
        d->setDataAvailableHandler([this, d] {
            if (d == active_ && d->bytesQueued() != 0) dataArrived();
        });
        d->setFailureHandler([this] { reportFailure(); });
        d->setOpenFailureHandler([this] { reportOpenFailure(); });
        d->setOpenedHandler([this] { reportOpened(); });
    }
}

bool RoutedSerialDevice::open(const QString& deviceName) {
    if (isOpen()) return false;
    active_ = LooksLikeNetworkAddress(deviceName) ? static_cast<SerialDevice*>(&network_)
                                                  : static_cast<SerialDevice*>(&local_);
    return active_->open(deviceName);
}

bool RoutedSerialDevice::write(const QByteArray& bytes) {
    return active_ && active_->write(bytes);
}

int RoutedSerialDevice::bytesQueued() {
    return active_ ? active_->bytesQueued() : -1;
}

std::optional<QByteArray> RoutedSerialDevice::read(int maxBytes) {
    if (!active_) return std::nullopt;
    return active_->read(maxBytes);
}

void RoutedSerialDevice::purge() {
    if (active_) active_->purge();
}

void RoutedSerialDevice::close() {
    if (active_) active_->close();
}

void RoutedSerialDevice::postNotification() {
    QMetaObject::invokeMethod(
        this, [this] { deliverNotification(); }, Qt::QueuedConnection);
}

} // namespace zx
