#include "platform/network_serial.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include "platform/network_address.h"

namespace zx {

NetworkSerialDevice::NetworkSerialDevice() {
    connect(&socket_, &QTcpSocket::readyRead, this, [this] {
        take();
        if (!input_.isEmpty()) dataArrived();
    });
    connect(&socket_, &QTcpSocket::disconnected, this, [this] { dropped(); });
    connect(&socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
        // A wait that ran out is no failure of the connection.
        if (e != QAbstractSocket::SocketTimeoutError &&
            socket_.state() != QAbstractSocket::ConnectedState)
            dropped();
    });
}

bool NetworkSerialDevice::open(const QString& address) {
    const std::optional<NetworkAddress> a = ParseNetworkAddress(address);
    if (open_ || !a) return false;
    socket_.abort();
    socket_.connectToHost(a->host, a->port);
    if (socket_.state() != QAbstractSocket::ConnectedState) {
        QEventLoop loop;
        QTimer limit;
        limit.setSingleShot(true);
        connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
        connect(&socket_, &QTcpSocket::connected, &loop, &QEventLoop::quit);
        connect(&socket_, &QTcpSocket::errorOccurred, &loop, &QEventLoop::quit);
        limit.start(kConnectLimitMs);
        loop.exec();
    }
    if (socket_.state() != QAbstractSocket::ConnectedState) {
        socket_.abort();
        return false;
    }
    // A frame goes out at once rather than waiting for the acknowledgement of the one before.
    socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    // Like a driver's input queue: a peer faster than the line waits in the network instead.
    socket_.setReadBufferSize(kInputQueueSize);
    input_.clear();
    open_ = true;
    if (a->kind == NetworkAddress::Kind::Rfc2217) {
        telnet_.emplace();
        socket_.write(telnet_->opening());
    } else {
        telnet_.reset();
    }
    return true;
}

bool NetworkSerialDevice::write(const QByteArray& bytes) {
    if (!open_) return false;
    const QByteArray wire = telnet_ ? TelnetCodec::Escape(bytes) : bytes;
    if (socket_.write(wire) != wire.size()) return false;
    // As long as the serial port's own write may take.
    const int limitMs = 1000 + int(bytes.size()) * 3;
    QElapsedTimer t;
    t.start();
    while (open_ && socket_.bytesToWrite() > 0) {
        const int left = limitMs - int(t.elapsed());
        if (left <= 0 || !socket_.waitForBytesWritten(left)) break;
    }
    return open_ && socket_.bytesToWrite() == 0;
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
    socket_.abort();
    input_.clear();
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
    const QByteArray replies = telnet_->takeReplies();
    if (!replies.isEmpty()) socket_.write(replies);
}

void NetworkSerialDevice::dropped() {
    if (!open_) return;
    reportFailure();
}

} // namespace zx
