#include <gtest/gtest.h>

#include <QString>

#include "link/serial_transport.h"
#include "platform/qt_platform.h"
#include "sim/pty_amplifier.h"
#include "support/pty_server.h"

namespace zx {
namespace {

// Real time: QSerialPort against the simulated amplifier on a pseudo-terminal.
TEST(PtyAmplifier, aBlockRequestIsAnsweredWithTheWholeBlockOverARealTerminal) {
    SimAmplifier sim;
    PtyServer server(sim);
    QString error;
    ASSERT_TRUE(server.start(&error)) << error.toStdString();

    QtSerialDevice device;
    QtClock clock;
    OnePort ports = server.ports();
    SerialTransport transport(device, ports, clock);
    int dispatches = 0;
    transport.setDispatcher([&] { ++dispatches; });
    transport.SelectedPort = 1;
    ASSERT_TRUE(transport.OpenPort());
    transport.StartReader();
    transport.SendBuffer = QByteArray::fromHex("A5A5A500A200280000008AAA");
    transport.WritePort();
    // 564 bytes take about 0.6 s at 9600 baud.
    for (int i = 0; i < 60 && transport.RxHexBuffer.size() < 1128; ++i) transport.PumpWait(50);
    transport.PumpWait(100); // nothing more comes
    transport.ClosePort();
    server.stop();

    const QString expected = QString::fromLatin1(
        SimAmplifier::BlockFrame(0, SimAmplifier::DefaultImage()).toHex().toUpper());
    EXPECT_EQ(transport.RxHexBuffer, expected);
    EXPECT_GE(dispatches, 1);
    ASSERT_EQ(sim.framesFromPc().size(), 1u);
}

} // namespace
} // namespace zx
