#include <gtest/gtest.h>

#include "link/serial_transport.h"
#include "window_doubles/test_platform.h"

namespace zx {
namespace {

const QByteArray kBlockRequest = QByteArray::fromHex("A5A5A500A200280000008AAA");

QString HexOf(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex().toUpper());
}

class SerialTransportTest : public ::testing::Test {
  protected:
    SerialTransportTest() {
        transport.setDispatcher([this] { dispatched.push_back(transport.RxHexBuffer); });
    }

    void connect(int port = 3) {
        transport.SelectedPort = port;
        ASSERT_TRUE(transport.OpenPort());
        transport.StartReader();
    }

    TestPlatform tp;
    SerialTransport transport{tp.serial, tp.ports, tp.clock};
    std::vector<QString> dispatched; // the buffer at each dispatcher call
};

TEST_F(SerialTransportTest, portListIsSortedAndNumbered) {
    tp.ports.setEntries({"COM2", "COM10", "com3", "COM1", "CNCA0"});
    QStringList list{"old"};
    ASSERT_TRUE(transport.ListPorts(list));
    EXPECT_EQ(list, (QStringList{"CNCA0", "COM1", "COM10", "COM2", "com3"}));
    transport.RebuildPortNumbers(list);
    EXPECT_EQ(transport.PortNumbers, (std::vector<int>{0, 1, 10, 2, 3}));

    tp.ports.setFails(true);
    EXPECT_FALSE(transport.ListPorts(list));
    EXPECT_EQ(list.size(), 5);
}

TEST_F(SerialTransportTest, portNumberChoosesTheDeviceName) {
    const std::vector<std::pair<int, QString>> table = {{9, "COM9"}, {10, "//./COM10"}};
    for (const auto& [n, name] : table) {
        VirtualClock clock;
        SimAmplifier sim;
        VirtualSerialDevice device(clock, sim, name);
        SerialTransport t(device, tp.ports, clock);
        t.SelectedPort = n;
        EXPECT_TRUE(t.OpenPort()) << name.toStdString();
        EXPECT_TRUE(device.isOpen());
    }
}

TEST_F(SerialTransportTest, openFailsForMissingBusyOrRefusingPorts) {
    for (int port : {0, -1, 4}) {
        transport.SelectedPort = port;
        EXPECT_FALSE(transport.OpenPort());
        EXPECT_FALSE(transport.LinkUp);
    }
    const std::vector<std::function<void(VirtualSerialDevice&)>> faults = {
        [](VirtualSerialDevice& d) { d.setPresent(false); },
        [](VirtualSerialDevice& d) { d.setInUse(true); },
        [](VirtualSerialDevice& d) { d.setRefusesSettings(true); },
    };
    for (const auto& fault : faults) {
        TestPlatform p;
        SerialTransport t(p.serial, p.ports, p.clock);
        fault(p.serial);
        t.SelectedPort = 3;
        EXPECT_FALSE(t.OpenPort());
        EXPECT_FALSE(t.LinkUp);
        EXPECT_FALSE(p.serial.isOpen());
    }
}

TEST_F(SerialTransportTest, receivedBytesAppendAsUppercaseHexInOnePiece) {
    connect();
    tp.serial.inject(QByteArray::fromHex("A5A5A50052"));
    tp.advance(100);
    ASSERT_EQ(dispatched.size(), 1u);
    EXPECT_EQ(dispatched[0], "A5A5A50052");

    // A 12-byte acknowledgement takes 12.5 ms: the 50 ms pause reads it whole.
    transport.RxHexBuffer.clear();
    dispatched.clear();
    tp.serial.inject(QByteArray::fromHex("A5A5A50051000000000051AA"));
    tp.advance(100);
    EXPECT_EQ(dispatched.front(), "A5A5A50051000000000051AA");
}

TEST_F(SerialTransportTest, aBlockRequestIsAnsweredWithTheWholeBlock) {
    connect();
    transport.SendBuffer = kBlockRequest;
    transport.WritePort();
    EXPECT_EQ(transport.SendBuffer, kBlockRequest);
    EXPECT_TRUE(tp.runUntil([&] { return transport.RxHexBuffer.size() >= 1128; }, 1000));
    EXPECT_EQ(transport.RxHexBuffer,
              HexOf(SimAmplifier::BlockFrame(0, SimAmplifier::DefaultImage())));
    // 12.5 ms out, 2 ms, 587.5 ms back, and the 50 ms pause of the last notification.
    EXPECT_LE(tp.clock.nowUs(), 12500 + 2000 + 587500 + 50000 + 1000);
}

TEST_F(SerialTransportTest, moreThanOneReadsWorthIsReadAtOnce) {
    transport.SelectedPort = 3;
    ASSERT_TRUE(transport.OpenPort()); // the reader is not started yet: bytes wait
    tp.serial.inject(QByteArray(1100, char(0x11)));
    tp.advance(1200);
    EXPECT_TRUE(dispatched.empty());
    transport.StartReader();
    tp.serial.inject(QByteArray(1, char(0x22)));
    tp.advance(100);
    ASSERT_EQ(dispatched.size(), 1u);
    EXPECT_EQ(dispatched[0], QString("11").repeated(1100) + "22");
}

TEST_F(SerialTransportTest, oneNotificationTakesAtMostAnInputQueue_theNextTheRest) {
    connect();
    const QByteArray pattern = QByteArray::fromHex("0123456789");
    const qint64 count = SerialDevice::kInputQueueSize + 904;
    tp.serial.flood(pattern, count);
    tp.advance(200);
    ASSERT_EQ(dispatched.size(), 2u);
    const int perNotify = SerialTransport::kMaxReadsPerNotify * SerialTransport::kReadChunk;
    EXPECT_EQ(dispatched[0].size(), 2 * perNotify);
    // Nothing new arrived, yet the rest came with a notification of its own.
    QByteArray all;
    while (all.size() < count) all += pattern;
    all.truncate(count);
    EXPECT_EQ(dispatched[1], HexOf(all));
}

TEST_F(SerialTransportTest, aNotificationWithNothingQueuedStillRunsTheDispatcher) {
    connect();
    tp.serial.inject(QByteArray(1, char(0x11)));
    // The byte is in and its notification waits; something empties the queue first.
    ASSERT_TRUE(tp.runUntil([&] { return tp.serial.bytesQueued() == 1; }, 100));
    tp.serial.purge();
    tp.advance(100);
    ASSERT_EQ(dispatched.size(), 1u);
    EXPECT_EQ(dispatched[0], "");
    EXPECT_FALSE(tp.serial.notificationOutstanding());
    tp.serial.inject(QByteArray(1, char(0x22)));
    tp.advance(100);
    EXPECT_EQ(dispatched.size(), 2u);
}

TEST_F(SerialTransportTest, aFailedQueueQueryPurgesAndSkipsTheDispatcher) {
    connect();
    tp.serial.setQueryFails(true);
    const int purges = tp.serial.purgeCount();
    tp.serial.inject(QByteArray(1, char(0x11)));
    tp.advance(100);
    EXPECT_TRUE(dispatched.empty());
    EXPECT_EQ(tp.serial.purgeCount(), purges + 1);
    EXPECT_FALSE(tp.serial.notificationOutstanding());
}

TEST_F(SerialTransportTest, nothingIsWrittenWithoutLinkOrBytes) {
    transport.SendBuffer = kBlockRequest;
    transport.WritePort(); // LinkUp false
    connect();
    transport.SendBuffer.clear();
    transport.WritePort();
    EXPECT_TRUE(tp.serial.writes().empty());
    EXPECT_EQ(tp.clock.nowUs(), 0);
}

TEST_F(SerialTransportTest, closePortWhileDownDoesNothing_closePortClosesAndClears) {
    transport.ClosePort();
    EXPECT_EQ(tp.serial.purgeCount(), 0);
    connect();
    transport.ClosePort();
    EXPECT_FALSE(transport.LinkUp);
    EXPECT_FALSE(tp.serial.isOpen());
    EXPECT_FALSE(transport.readerRunning());
    EXPECT_EQ(tp.serial.purgeCount(), 1);
}

TEST(SerialTransportFailure, aReadOrWriteFailureTearsDownButLeavesLinkUp) {
    const QByteArray request = kBlockRequest;
    const std::vector<std::function<void(TestPlatform&, SerialTransport&)>> failures = {
        [](TestPlatform& p, SerialTransport&) { // reported by the device
            p.serial.unplug();
            p.advance(1);
        },
        [&](TestPlatform& p, SerialTransport& t) { // a write fails
            p.serial.unplug();
            t.SendBuffer = request;
            t.WritePort();
        },
        [](TestPlatform& p, SerialTransport&) { // unplugged while bytes come in
            p.serial.inject(QByteArray(30, char(0x11)));
            p.clock.postLineEvent([&p] { p.serial.unplug(); }, 20'000);
            p.advance(100);
        },
    };
    for (std::size_t i = 0; i < failures.size(); ++i) {
        SCOPED_TRACE(i);
        TestPlatform p;
        SerialTransport t(p.serial, p.ports, p.clock);
        int dispatches = 0;
        t.setDispatcher([&] { ++dispatches; });
        t.SelectedPort = 3;
        ASSERT_TRUE(t.OpenPort());
        t.StartReader();
        failures[i](p, t);
        EXPECT_TRUE(t.LinkUp);
        EXPECT_TRUE(t.tornDown());
        EXPECT_FALSE(t.readerRunning());
        EXPECT_FALSE(p.serial.isOpen());
        EXPECT_EQ(dispatches, 0);
        const auto writes = p.serial.writes().size();
        t.SendBuffer = request;
        t.WritePort(); // sends nothing
        EXPECT_EQ(p.serial.writes().size(), writes);
        t.ClosePort();
        EXPECT_FALSE(t.LinkUp);
        EXPECT_FALSE(t.tornDown());
    }
}

TEST_F(SerialTransportTest, closingInsideTheDispatcherDoesNotHang_theNextOpenReceives) {
    connect();
    bool closed = false;
    transport.setDispatcher([&] {
        dispatched.push_back(transport.RxHexBuffer);
        if (!closed) {
            closed = true;
            transport.PumpWait(50);
            transport.ClosePort();
        }
    });
    tp.serial.inject(QByteArray::fromHex("A5A5A5"));
    tp.advance(200);
    EXPECT_FALSE(transport.LinkUp);
    ASSERT_EQ(dispatched.size(), 1u);
    connect();
    tp.serial.inject(QByteArray::fromHex("0102"));
    tp.advance(200);
    ASSERT_EQ(dispatched.size(), 2u);
    EXPECT_EQ(dispatched[1], "A5A5A50102");
}

TEST_F(SerialTransportTest, pumpWaitRunsTimersForAtLeastItsTime) {
    int ticks = 0;
    tp.clock.setHandler(TimerId::sendTimer, [&] { ++ticks; });
    tp.clock.start(TimerId::sendTimer);
    const auto t0 = tp.clock.tickMs();
    transport.PumpWait(100);
    EXPECT_GE(tp.clock.tickMs() - t0, 100u);
    EXPECT_GE(ticks, 5);
}

} // namespace
} // namespace zx
