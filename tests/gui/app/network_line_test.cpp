#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QInputDialog>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include "app/application.h"
#include "desktop/qt_window_platform.h"
#include "doubles/virtual_serial.h"
#include "link/frame.h"
#include "model/preset_image.h"
#include "support/pty_server.h"
#include "support/real_time_wait.h"
#include "support/ser2net_bridge.h"
#include "window_doubles/scripted_dialogs.h"

namespace zx {
namespace {

// The window in real time with network ports only (the system lists no serial port).
struct RealTimeWindow {
    RealTimeWindow() { app.Start(); }
    QtTimerHub timers;
    QtClock clock;
    RoutedSerialDevice serial;
    FakePortList system{QStringList{}};
    NetworkPortList ports{system};
    ScriptedDialogs dialogs{&clock};
    ThreadedWork work;
    Application app{WindowPlatform{timers, clock, serial, ports, dialogs, work}};
};

// The window against the simulated amplifier behind ser2net, in real time, raw and over
// Telnet: the address typed into "Network port…", the handshake, three edits at the send
// pace, then the server ends and the link with it. Bounds on real time are generous lower
// ones; the exact times are the virtual clock tests' business.
TEST(NetworkLine, windowWorksThroughSer2netAndEndsWithInterruptWhenTheServerStops) {
    if (Ser2netBridge::Program().isEmpty()) GTEST_SKIP() << "ser2net is not installed";
    for (bool telnet : {false, true}) {
        SCOPED_TRACE(telnet ? "rfc2217" : "tcp");
        SimAmplifier sim;
        PtyServer amp(sim);
        QString error;
        ASSERT_TRUE(amp.start(&error)) << error.toStdString();
        Ser2netBridge server;
        ASSERT_TRUE(server.start({{amp.ports().deviceName(1), telnet}}, &error))
            << error.toStdString();

        RealTimeWindow w;
        Application& app = w.app;
        ScriptedDialogs& dialogs = w.dialogs;
        QtClock& clock = w.clock;

        dialogs.answerModal([&](QDialog& d) {
            dynamic_cast<QInputDialog&>(d).setTextValue(server.address(0));
            return int(QDialog::Accepted);
        });
        QComboBox* selector = app.window.portSelector();
        emit selector->activated(selector->count() - 1);
        ASSERT_EQ(selector->currentText(), server.address(0));

        app.window.connectButton()->click();
        ASSERT_TRUE(WaitFor(
            clock, [&] { return app.link.transport.LinkUp && w.timers.isActive(TimerId::Timer1); },
            5000))
            << dialogs.messages().join('|').toStdString();

        sim.clearFrames();
        app.model.channels[2].gainIndex = 77;
        app.link.sendSlots.BuildChannelSettings(2);
        app.model.bands[BandId(3, 4)].qIndex = 30;
        app.link.sendSlots.BuildEqBand(BandId(3, 4));
        app.model.output(4).limiterAttackIndex = 12;
        app.link.sendSlots.BuildLimiter(4);
        EXPECT_TRUE(WaitFor(
            clock,
            [&] {
                return !app.link.sendSlots.AnyPending() && app.link.sendSlots.CurrentSlot() == 0 &&
                       !w.timers.isActive(TimerId::Timer4);
            },
            6000));
        clock.pumpWait(200);
        const QByteArray live = sim.liveImage();
        EXPECT_EQ(static_cast<std::uint8_t>(live[ChannelBlockOffset(2) + 2]), 77);
        EXPECT_EQ(static_cast<std::uint8_t>(live[BandRecordOffset(BandId(3, 4)) + 6]), 30);
        EXPECT_EQ(static_cast<std::uint8_t>(live[ChannelBlockOffset(4) + 17]), 12);
        // One parameter frame at a time: 200 ms after its pick and 300 ms before the next one is
        // picked (the bound leaves room for the machine being busy).
        std::vector<std::int64_t> writes;
        for (const auto& f : sim.frames())
            if (f.fromPc && f.bytes.size() == 20 &&
                static_cast<std::uint8_t>(f.bytes[4]) == kTypePcWrite)
                writes.push_back(f.atMs);
        ASSERT_EQ(writes.size(), 3u);
        for (std::size_t i = 1; i < writes.size(); ++i)
            EXPECT_GE(writes[i] - writes[i - 1], 400) << i;

        EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('|').toStdString();
        QElapsedTimer sinceStop;
        sinceStop.start();
        server.stop();
        ASSERT_TRUE(WaitFor(
            clock, [&] { return !dialogs.messages().isEmpty(); }, 10000));
        EXPECT_EQ(dialogs.messages(), QStringList{"interrupt."});
        // The watchdog's 2 s after the first poll that went unanswered.
        EXPECT_GE(sinceStop.elapsed(), 1500);
        EXPECT_FALSE(app.link.transport.LinkUp);
        EXPECT_EQ(app.window.connectButton()->text(), "Disconnect");
        EXPECT_TRUE(selector->isEnabled());
    }
}

// A server that refuses, or takes the connection and then neither reads nor answers: the
// window keeps handling events all along (a 20 ms timer never waits long), and the attempt
// ends with the message of a port that does not open, or of a device that never answers.
TEST(NetworkLine, aServerThatRefusesOrStallsNeverStopsTheWindow) {
    const struct {
        bool listening;
        const char* message;
    } rows[] = {{false, "No port or in use."}, {true, "overtime,please try again."}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.message);
        QTcpServer server;
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
        const QString address = QStringLiteral("tcp://127.0.0.1:%1").arg(server.serverPort());
        if (!r.listening) server.close();
        std::vector<std::unique_ptr<QTcpSocket>> taken;
        QObject::connect(&server, &QTcpServer::newConnection, [&] {
            taken.emplace_back(server.nextPendingConnection());
            taken.back()->setReadBufferSize(1);
        });

        RealTimeWindow w;
        Application& app = w.app;
        ScriptedDialogs& dialogs = w.dialogs;
        QtClock& clock = w.clock;
        ASSERT_TRUE(app.SelectStartPort(address));

        QElapsedTimer sinceTick;
        qint64 longestGap = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout,
                         [&] { longestGap = std::max(longestGap, sinceTick.restart()); });
        sinceTick.start();
        ticker.start(20);
        app.window.connectButton()->click();
        ASSERT_TRUE(WaitFor(
            clock, [&] { return !dialogs.messages().isEmpty(); }, 5000));
        EXPECT_EQ(dialogs.messages(), QStringList{QString::fromUtf8(r.message)});
        EXPECT_FALSE(app.link.transport.LinkUp);
        EXPECT_EQ(app.window.connectButton()->text(), "Disconnect");
        EXPECT_LT(longestGap, 400);
    }
}

} // namespace
} // namespace zx
