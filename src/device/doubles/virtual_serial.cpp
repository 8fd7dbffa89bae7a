#include "doubles/virtual_serial.h"

#include <algorithm>

#include "sim/sim_amplifier.h"

namespace zx {

std::int64_t VirtualSerialDevice::ByteTimeUs(std::int64_t count) {
    // 10 bits a byte at 9600 baud, rounded up to whole microseconds.
    return (count * 10'000'000 + 9599) / 9600;
}

VirtualSerialDevice::VirtualSerialDevice(VirtualClock& clock, SimAmplifier& sim, QString deviceName)
    : clock_(clock), sim_(sim), name_(std::move(deviceName)) {}

bool VirtualSerialDevice::open(const QString& deviceName) {
    if (open_ || deviceName.isEmpty() || deviceName != name_) return false;
    if (!present_ || unplugged_ || inUse_ || refuses_) return false;
    open_ = true;
    input_.clear();
    ++opens_;
    return true;
}

bool VirtualSerialDevice::write(const QByteArray& bytes) {
    if (!open_ || unplugged_) return false;
    const std::int64_t now = clock_.nowUs();
    writes_.push_back({now, bytes});
    const std::int64_t start = std::max(now, toSimFreeUs_);
    for (qsizetype k = 0; k < bytes.size(); ++k) {
        const auto byte = std::uint8_t(bytes[k]);
        const std::int64_t at = start + ByteTimeUs(k + 1);
        clock_.postLineEvent(
            [this, byte, at] {
                for (const auto& out : sim_.receive(byte, at / 1000))
                    send(out.bytes, std::int64_t(out.gapMs) * 1000);
            },
            at);
    }
    toSimFreeUs_ = start + ByteTimeUs(bytes.size());
    // The write is synchronous: the window thread waits until the last byte is out.
    clock_.block(toSimFreeUs_ - now);
    return true;
}

void VirtualSerialDevice::send(const QByteArray& bytes, std::int64_t gapUs) {
    const std::int64_t start = std::max(clock_.nowUs(), toPcFreeUs_) + gapUs;
    for (qsizetype k = 0; k < bytes.size(); ++k) {
        const auto byte = std::uint8_t(bytes[k]);
        clock_.postLineEvent([this, byte] { arrive(byte); }, start + ByteTimeUs(k + 1));
    }
    toPcFreeUs_ = start + ByteTimeUs(bytes.size());
}

void VirtualSerialDevice::inject(const QByteArray& bytes) {
    send(bytes, 0);
}

void VirtualSerialDevice::arrive(std::uint8_t byte) {
    if (!open_ || unplugged_) return;             // nobody listens: the byte is lost
    if (input_.size() >= kInputQueueSize) return; // overrun
    input_.append(char(byte));
    dataArrived();
}

void VirtualSerialDevice::flood(const QByteArray& pattern, qint64 count) {
    if (pattern.isEmpty()) return;
    floodPattern_ = pattern;
    floodLeft_ = count;
    floodSent_ = 0;
    topUpFlood();
    dataArrived();
}

void VirtualSerialDevice::topUpFlood() {
    if (!open_ || unplugged_) floodLeft_ = 0;
    while (floodLeft_ > 0 && input_.size() < kInputQueueSize) {
        input_.append(floodPattern_[floodSent_++ % floodPattern_.size()]);
        --floodLeft_;
    }
}

int VirtualSerialDevice::bytesQueued() {
    if (!open_ || unplugged_ || queryFails_) return -1;
    topUpFlood();
    return int(input_.size());
}

std::optional<QByteArray> VirtualSerialDevice::read(int maxBytes) {
    if (!open_ || unplugged_) return std::nullopt;
    const qsizetype n = std::min<qsizetype>(std::max(maxBytes, 0), input_.size());
    QByteArray out = input_.left(n);
    input_.remove(0, n);
    return out;
}

void VirtualSerialDevice::purge() {
    input_.clear();
    ++purges_;
}

void VirtualSerialDevice::close() {
    open_ = false;
    input_.clear();
}

void VirtualSerialDevice::unplug() {
    unplugged_ = true;
    if (open_)
        clock_.postWindowEvent([this] {
            if (open_) reportFailure();
        });
}

void VirtualSerialDevice::postNotification() {
    clock_.postWindowEvent([this] { deliverNotification(); });
}

std::optional<QStringList> FakePortList::list() {
    if (fails_) return std::nullopt;
    return entries_;
}

} // namespace zx
