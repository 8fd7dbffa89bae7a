#include "platform/network_serial.h"

#include "platform/network_address.h"

#include <utility>

namespace zx {

NetworkSerialDevice::NetworkSerialDevice() {
    connect(&socket_, &QTcpSocket::readyRead, this, [this] {
        take();
        if (!input_.isEmpty()) dataArrived();
    });
    connect(&socket_, &QTcpSocket::connected, this, [this] { onConnected(); });
    connect(&socket_, &QTcpSocket::disconnected, this, [this] { dropped(); });
    connect(&socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
        // A wait that ran out is no failure of the connection.
        if (e == QAbstractSocket::SocketTimeoutError ||
            socket_.state() == QAbstractSocket::ConnectedState)
            return;
        if (opening())
            openFailed();
        else
            dropped();
    });
    connectLimit_.setSingleShot(true);
    connect(&connectLimit_, &QTimer::timeout, this, [this] {
        if (opening()) openFailed();
    });
}

bool NetworkSerialDevice::open(const QString& address) {
    const std::optional<NetworkAddress> a = ParseNetworkAddress(address);
    if (open_ || !a) return false;
    socket_.abort();
    input_.clear();
    unsent_.clear();
    // Like a driver's input queue: a peer faster than the line waits in the network instead.
    socket_.setReadBufferSize(kInputQueueSize);
    if (a->kind == NetworkAddress::Kind::Rfc2217) {
        telnet_.emplace();
        unsent_ = telnet_->opening();
    } else {
        telnet_.reset();
    }
    open_ = true;
    connected_ = false;
    ++attempt_;
    connectLimit_.start(kConnectLimitMs);
    socket_.connectToHost(a->host, a->port);
    // A refusal may come within the call.
    return open_;
}

void NetworkSerialDevice::onConnected() {
    if (!open_) return;
    connectLimit_.stop();
    connected_ = true;
    // A frame goes out at once rather than waiting for the acknowledgement of the one before.
    socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    send(std::exchange(unsent_, QByteArray()));
    reportOpened();
}

void NetworkSerialDevice::openFailed() {
    close();
    // Not for a later attempt that has started meanwhile.
    QMetaObject::invokeMethod(
        this,
        [this, attempt = attempt_] {
            if (attempt == attempt_ && !open_) reportOpenFailure();
        },
        Qt::QueuedConnection);
}

bool NetworkSerialDevice::write(const QByteArray& bytes) {
    if (!open_) return false;
    return send(telnet_ ? TelnetCodec::Escape(bytes) : bytes);
}

bool NetworkSerialDevice::send(const QByteArray& wire) {
    if (wire.isEmpty()) return true;
    if (!connected_) {
        unsent_.append(wire);
        return unsent_.size() <= kWriteBacklogLimit;
    }
    // The event loop sends what the socket holds; a server that stops reading lets it grow
    // until the device's silence ends the link, or this bound does.
    if (socket_.bytesToWrite() + wire.size() > kWriteBacklogLimit) return false;
    return socket_.write(wire) == wire.size();
}

int NetworkSerialDevice::bytesQueued() {
    if (!open_) return -1;
    // Collect what the system holds now: the pause before a read handles no events.
    while (open_ && input_.size() < kInputQueueSize && socket_.waitForReadyRead(0)) take();
    take();
    return open_ ? int(input_.size()) : -1;
}

std::optional<QByteArray> NetworkSerialDevice::read(int maxBytes) {
    if (!open_) return std::nullopt;
    take();
    const QByteArray out = input_.left(std::max(maxBytes, 0));
    input_.remove(0, out.size());
    // What waited in the socket behind a full queue moves up.
    take();
    return out;
}

void NetworkSerialDevice::purge() {
    if (!open_) return;
    // Telnet commands among the discarded bytes are still answered.
    do {
        take();
        input_.clear();
    } while (socket_.bytesAvailable() > 0);
}

void NetworkSerialDevice::close() {
    open_ = false;
    connected_ = false;
    connectLimit_.stop();
    socket_.abort();
    input_.clear();
    unsent_.clear();
    telnet_.reset();
}

void NetworkSerialDevice::postNotification() {
    QMetaObject::invokeMethod(
        this, [this] { deliverNotification(); }, Qt::QueuedConnection);
}

void NetworkSerialDevice::take() {
    if (!open_) return;
    const qint64 room = kInputQueueSize - input_.size();
    if (room <= 0 || socket_.bytesAvailable() == 0) return;
    const QByteArray raw = socket_.read(room);
    if (!telnet_) {
        input_.append(raw);
        return;
    }
    input_.append(telnet_->receive(raw));
    if (telnet_->failed()) {
        // A server that breaks the Telnet rules is a line that has failed, as when the
        // adapter is pulled: the link ends by its watchdog. Reported from the event loop, not
        // from inside a read.
        QMetaObject::invokeMethod(
            this, [this] { dropped(); }, Qt::QueuedConnection);
        return;
    }
    const QByteArray replies = telnet_->takeReplies();
    if (!replies.isEmpty()) send(replies);
}

void NetworkSerialDevice::dropped() {
    if (!open_) return;
    reportFailure();
}

} // namespace zx
