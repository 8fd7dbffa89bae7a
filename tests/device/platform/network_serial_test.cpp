#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <algorithm>
#include <functional>
#include <memory>

#include "platform/network_serial.h"
#include "platform/routed_serial.h"

namespace zx {
namespace {

// Real sockets on the loopback: the bounds are generous, only their order matters.
constexpr int kLimitMs = 5000;

bool Until(const std::function<bool()>& done, int limitMs = kLimitMs) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > limitMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// A device server's listening socket on the loopback and the one connection it took.
class Server {
  public:
    Server() { listening = server_.listen(QHostAddress::LocalHost); }
    QString address(const char* scheme) const {
        return QStringLiteral("%1://127.0.0.1:%2")
            .arg(QLatin1String(scheme))
            .arg(server_.serverPort());
    }
    QTcpSocket* accept() {
        if (!peer_ && Until([this] { return server_.hasPendingConnections(); }))
            peer_.reset(server_.nextPendingConnection());
        return peer_.get();
    }
    // Everything the client sent until `count` bytes have come.
    QByteArray receive(qsizetype count) {
        QByteArray got;
        Until([&] {
            got += peer_->readAll();
            return got.size() >= count;
        });
        return got;
    }
    bool listening = false;

  private:
    QTcpServer server_;
    std::unique_ptr<QTcpSocket> peer_;
};

TEST(NetworkSerial, aRefusedOrWrongAddressDoesNotOpen) {
    quint16 closedPort = 0;
    {
        QTcpServer s;
        ASSERT_TRUE(s.listen(QHostAddress::LocalHost));
        closedPort = s.serverPort();
    }
    NetworkSerialDevice d;
    int openFailures = 0, failures = 0;
    d.setOpenFailureHandler([&] { ++openFailures; });
    d.setFailureHandler([&] { ++failures; });
    // The connect goes on in the event loop; a refusal that comes later is an open failure.
    if (d.open(QStringLiteral("tcp://127.0.0.1:%1").arg(closedPort))) {
        EXPECT_TRUE(d.opening());
        EXPECT_TRUE(Until([&] { return openFailures == 1; }));
    }
    QCoreApplication::processEvents();
    EXPECT_LE(openFailures, 1);
    EXPECT_EQ(failures, 0);
    EXPECT_FALSE(d.isOpen());
    EXPECT_FALSE(d.open(QStringLiteral("tcp://127.0.0.1")));
    EXPECT_FALSE(d.open(QStringLiteral("ttyS0")));
    EXPECT_EQ(d.bytesQueued(), -1);
    EXPECT_FALSE(d.write("x"));
}

// Raw bytes go as they are; over Telnet a data byte FF goes doubled, after the opening.
TEST(NetworkSerial, writesReachTheServerEscapedOnlyOverTelnet) {
    const QByteArray frame = QByteArray::fromHex("a5a5a500a2ff28000000ffaa");
    for (const char* scheme : {"tcp", "rfc2217"}) {
        Server server;
        ASSERT_TRUE(server.listening);
        NetworkSerialDevice d;
        ASSERT_TRUE(d.open(server.address(scheme))) << scheme;
        ASSERT_TRUE(server.accept());
        EXPECT_TRUE(d.write(frame));
        const bool telnet = QByteArray(scheme) == "rfc2217";
        const QByteArray opening = telnet ? TelnetCodec().opening() : QByteArray();
        const QByteArray wire = telnet ? TelnetCodec::Escape(frame) : frame;
        EXPECT_EQ(server.receive(opening.size() + wire.size()).toHex(), (opening + wire).toHex())
            << scheme;
        d.close();
    }
}

// The server's negotiation is answered at once and brings no notification: only data bytes
// count as received, so that Telnet traffic cannot stand in for the device's answers.
TEST(NetworkSerial, telnetNegotiationIsAnsweredAndNotifiesNothing) {
    Server server;
    ASSERT_TRUE(server.listening);
    NetworkSerialDevice d;
    int notifications = 0;
    d.setDataAvailableHandler([&] { ++notifications; });
    ASSERT_TRUE(d.open(server.address("rfc2217")));
    QTcpSocket* peer = server.accept();
    ASSERT_TRUE(peer);
    const qsizetype openingSize = TelnetCodec().opening().size();
    server.receive(openingSize);

    peer->write(QByteArray::fromHex("fffd2cfffb00fffb03fffa2c6a00fff0"));
    const QByteArray settings = TelnetCodec::LineSettings();
    EXPECT_EQ(server.receive(settings.size()).toHex(), settings.toHex());
    QCoreApplication::processEvents();
    EXPECT_EQ(notifications, 0);
    ASSERT_TRUE(d.telnet());
    EXPECT_TRUE(d.telnet()->comPortAccepted());

    peer->write(QByteArray::fromHex("a5ffff5a"));
    ASSERT_TRUE(Until([&] { return notifications == 1; }));
    EXPECT_EQ(d.bytesQueued(), 3);
    EXPECT_EQ(d.read(1025)->toHex(), "a5ff5a");
}

// A server that takes the connection and then stops reading never holds up a write: the bytes
// wait in the socket, and past a bound the line counts as failed.
TEST(NetworkSerial, aServerThatStopsReadingNeverBlocksAWrite) {
    Server server;
    ASSERT_TRUE(server.listening);
    NetworkSerialDevice d;
    ASSERT_TRUE(d.open(server.address("tcp")));
    QTcpSocket* peer = server.accept();
    ASSERT_TRUE(peer);
    ASSERT_TRUE(Until([&] { return !d.opening(); }));
    peer->setReadBufferSize(1);
    peer->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 1);
    const QByteArray block(564, '\x5A');
    int written = 0;
    qint64 longest = 0;
    // Far more than the system's buffers take; each write returns without waiting, where a
    // blocking one would wait for its second and 3 ms a byte.
    for (bool taken = true; taken && written < 20000;) {
        QElapsedTimer t;
        t.start();
        taken = d.write(block);
        longest = std::max(longest, t.elapsed());
        written += taken ? 1 : 0;
        QCoreApplication::processEvents();
    }
    EXPECT_LT(written, 20000);
    EXPECT_GT(written, NetworkSerialDevice::kWriteBacklogLimit / block.size());
    EXPECT_LT(longest, 500);
}

// The server going away is an adapter pulled out: a failure, reported without a call.
TEST(NetworkSerial, aDroppedConnectionIsReportedAsAFailure) {
    for (const char* scheme : {"tcp", "rfc2217"}) {
        auto server = std::make_unique<Server>();
        RoutedSerialDevice d;
        int failures = 0;
        d.setFailureHandler([&] { ++failures; });
        ASSERT_TRUE(d.open(server->address(scheme)));
        ASSERT_TRUE(server->accept());
        server.reset();
        EXPECT_TRUE(Until([&] { return failures > 0; })) << scheme;
        d.close();
        EXPECT_FALSE(d.isOpen());
    }
}

// Bytes that came while a notification was being handled and that its handler read too bring
// no further notification: one with nothing waiting would start the read pause early and cut
// the next reply at whatever had arrived by its end.
TEST(NetworkSerial, routedDeviceNotifiesOnlyWithBytesWaiting) {
    Server server;
    ASSERT_TRUE(server.listening);
    RoutedSerialDevice d;
    QTcpSocket* peer = nullptr;
    std::vector<int> queuedAtNotification;
    QByteArray read;
    d.setDataAvailableHandler([&] {
        queuedAtNotification.push_back(d.bytesQueued());
        if (queuedAtNotification.size() == 1) {
            peer->write("def");
            peer->flush();
            QThread::msleep(20);
        }
        while (d.bytesQueued() > 0) read += *d.read(1025);
    });
    ASSERT_TRUE(d.open(server.address("tcp")));
    peer = server.accept();
    ASSERT_TRUE(peer);
    peer->write("abc");
    ASSERT_TRUE(Until([&] { return read.size() == 6; }));
    Until([] { return false; }, 200);
    EXPECT_EQ(read, "abcdef");
    EXPECT_EQ(queuedAtNotification, std::vector<int>{3});
}

} // namespace
} // namespace zx
