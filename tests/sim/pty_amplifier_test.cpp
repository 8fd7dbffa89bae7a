#include <gtest/gtest.h>

#include <QString>

#include <atomic>
#include <thread>

#include "link/serial_transport.h"
#include "platform/qt_platform.h"
#include "sim/pty_amplifier.h"
#include "support/one_port.h"

namespace zx {
namespace {

// Real time: QSerialPort against the simulated amplifier on a pseudo-terminal.
TEST(PtyAmplifier, aBlockRequestIsAnsweredWithTheWholeBlockOverARealTerminal) {
    SimAmplifier sim;
    PtyAmplifier pty(sim);
    QString error;
    ASSERT_TRUE(pty.open(&error)) << error.toStdString();
    std::atomic<bool> stop{false};
    std::thread server([&] { pty.serve(stop); });

    QtSerialDevice device;
    QtClock clock;
    OnePort ports(pty.terminalPath());
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
    stop = true;
    server.join();

    const QString expected = QString::fromLatin1(
        SimAmplifier::BlockFrame(0, SimAmplifier::DefaultImage()).toHex().toUpper());
    EXPECT_EQ(transport.RxHexBuffer, expected);
    EXPECT_GE(dispatches, 1);
    ASSERT_EQ(sim.framesFromPc().size(), 1u);
}

} // namespace
} // namespace zx
