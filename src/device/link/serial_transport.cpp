#include "link/serial_transport.h"

namespace zx {

namespace {

void AppendHex(QString& text, const QByteArray& bytes) {
    static constexpr char digits[] = "0123456789ABCDEF";
    text.reserve(text.size() + 2 * bytes.size());
    for (char c : bytes) {
        const auto b = std::uint8_t(c);
        text.append(QLatin1Char(digits[b >> 4]));
        text.append(QLatin1Char(digits[b & 0x0F]));
    }
}

} // namespace

SerialTransport::SerialTransport(SerialDevice& device, PortList& ports, Clock& clock)
    : device_(device), ports_(ports), clock_(clock) {
    device_.setDataAvailableHandler([this] {
        if (readerRunning_) OnCommNotify();
    });
    device_.setFailureHandler([this] {
        if (LinkUp && !tornDown_) TearDown();
    });
    device_.setOpenedHandler([this] {
        if (LinkUp && !tornDown_ && onOpened_) onOpened_();
    });
    device_.setOpenFailureHandler([this] {
        if (!LinkUp || tornDown_) return;
        TearDown();
        if (onOpenFailed_) onOpenFailed_();
    });
}

bool SerialTransport::ListPorts(QStringList& list) {
    const auto ports = ports_.list();
    if (!ports) return false;
    list = SortPortEntries(*ports);
    return true;
}

void SerialTransport::RebuildPortNumbers(const QStringList& list) {
    PortNumbers.assign(std::size_t(list.size()), 0);
    for (qsizetype i = 0; i < list.size(); ++i)
        PortNumbers[std::size_t(i)] = ports_.portNumber(list[i]);
}

bool SerialTransport::OpenPort() {
    const QString name = ports_.deviceName(SelectedPort);
    if (name.isEmpty() || !device_.open(name)) return LinkUp;
    tornDown_ = false;
    readerRunning_ = false;
    LinkUp = true;
    return LinkUp;
}

void SerialTransport::StartReader() {
    if (!LinkUp || tornDown_) return;
    readerRunning_ = true;
}

void SerialTransport::WritePort() {
    if (!LinkUp || SendBuffer.isEmpty() || tornDown_ || !device_.isOpen()) return;
    if (!device_.write(SendBuffer)) TearDown();
}

void SerialTransport::ClosePort() {
    if (!LinkUp) return;
    readerRunning_ = false;
    // A notification being handled further up this thread's stack finds the device closed
    // and ends on its own; nothing here waits for it.
    if (!tornDown_) {
        device_.purge();
        device_.close();
    }
    tornDown_ = false;
    LinkUp = false;
}

void SerialTransport::PumpWait(int ms) {
    clock_.pumpWait(ms);
}

void SerialTransport::OnCommNotify() {
    // Lets the rest of a short reply arrive, so that it is read in one piece.
    clock_.pause(kNotifyPauseMs);
    int queued = device_.bytesQueued();
    if (queued < 0) {
        device_.purge();
        return;
    }
    for (int reads = 0; queued > 0; ++reads) {
        // A peer faster than the line refills the queue as fast as it is read; one
        // notification takes at most a full input queue, and the next one the rest.
        if (reads == kMaxReadsPerNotify) {
            device_.requestFollowUp();
            break;
        }
        const auto bytes = device_.read(kReadChunk);
        if (!bytes) {
            TearDown();
            return;
        }
        AppendHex(RxHexBuffer, *bytes);
        // More than one chunk waiting: the rest is read at once rather than left for a
        // notification that would come only with the next byte.
        queued = bytes->isEmpty() ? 0 : device_.bytesQueued();
    }
    if (dispatcher_) dispatcher_();
}

void SerialTransport::TearDown() {
    readerRunning_ = false;
    device_.close();
    tornDown_ = true;
}

} // namespace zx
