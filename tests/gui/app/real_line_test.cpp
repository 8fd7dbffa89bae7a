#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPushButton>

#include "app/application.h"
#include "desktop/qt_window_platform.h"
#include "model/preset_image.h"
#include "sim/pty_amplifier.h"
#include "support/pty_server.h"
#include "support/real_time_wait.h"
#include "window_doubles/scripted_dialogs.h"

#include <memory>

namespace zx {

TEST(DefaultImage, deviceDefaultsEqualTheProgramsDefaults) {
    EXPECT_EQ(SimAmplifier::DefaultImage().toHex(), ImageBytes(ParameterModel()).toHex());
}

// Real time over a pseudo-terminal: connect, three edits, disconnect.
TEST(RealLine, connectEditDisconnectAgainstTheSimulatedAmplifier) {
    SimAmplifier sim;
    PtyServer server(sim);
    QString error;
    ASSERT_TRUE(server.start(&error)) << error.toStdString();

    QtPlatform qt;
    OnePort ports = server.ports();
    ScriptedDialogs dialogs(&qt.clock);
    NetworkPortList listed(ports);
    Application app(WindowPlatform{qt.timers, qt.clock, qt.serial, listed, dialogs, qt.work});
    app.Start();

    app.window.connectButton()->click();
    const bool connected = WaitFor(
        qt.clock, [&] { return app.link.transport.LinkUp && qt.timers.isActive(TimerId::Timer1); },
        4000);
    if (connected) {
        app.model.channels[2].gainIndex = 77;
        app.link.sendSlots.BuildChannelSettings(2);
        app.model.bands[BandId(3, 4)].qIndex = 30;
        app.link.sendSlots.BuildEqBand(BandId(3, 4));
        app.model.output(4).limiterAttackIndex = 12;
        app.link.sendSlots.BuildLimiter(4);
        WaitFor(
            qt.clock,
            [&] {
                return !app.link.sendSlots.AnyPending() && app.link.sendSlots.CurrentSlot() == 0 &&
                       !qt.timers.isActive(TimerId::Timer4);
            },
            4000);
        qt.clock.pumpWait(100);
        app.window.connectButton()->click();
    }
    server.stop();

    ASSERT_TRUE(connected);
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('|').toStdString();
    EXPECT_FALSE(app.link.transport.LinkUp);
    EXPECT_EQ(app.window.connectButton()->text(), "Disconnect");
    const QByteArray live = sim.liveImage();
    EXPECT_EQ(static_cast<std::uint8_t>(live[ChannelBlockOffset(2) + 2]), 77);
    EXPECT_EQ(static_cast<std::uint8_t>(live[BandRecordOffset(BandId(3, 4)) + 6]), 30);
    EXPECT_EQ(static_cast<std::uint8_t>(live[ChannelBlockOffset(4) + 17]), 12);
}

} // namespace zx

namespace zx {

// Real time: the adapter is pulled while connected. The port reports the failure, the link is
// torn down at once, and the poll watchdog ends the connection with its message.
TEST(RealLine, aPulledAdapterEndsTheLinkWithInterrupt) {
    SimAmplifier sim;
    auto server = std::make_unique<PtyServer>(sim);
    QString error;
    ASSERT_TRUE(server->start(&error)) << error.toStdString();

    QtPlatform qt;
    OnePort ports = server->ports();
    ScriptedDialogs dialogs(&qt.clock);
    NetworkPortList listed(ports);
    Application app(WindowPlatform{qt.timers, qt.clock, qt.serial, listed, dialogs, qt.work});
    app.Start();
    app.window.connectButton()->click();
    ASSERT_TRUE(WaitFor(
        qt.clock, [&] { return app.link.transport.LinkUp && qt.timers.isActive(TimerId::Timer1); },
        4000))
        << dialogs.messages().join('|').toStdString() << [&] {
               std::string s;
               for (const auto& f : sim.frames())
                   s += std::to_string(f.atMs) + (f.fromPc ? " pc " : " dev ") +
                        f.bytes.left(8).toHex().toStdString() + " " +
                        std::to_string(f.bytes.size()) + "\n";
               return s;
           }();

    server.reset(); // both ends of the terminal close: reads fail from here on
    EXPECT_TRUE(WaitFor(
        qt.clock, [&] { return app.link.transport.tornDown(); }, 1500));
    ASSERT_TRUE(WaitFor(
        qt.clock, [&] { return !dialogs.messages().isEmpty(); }, 4000));
    EXPECT_EQ(dialogs.messages(), QStringList{"interrupt."});
    EXPECT_FALSE(app.link.transport.LinkUp);
    EXPECT_EQ(app.window.connectButton()->text(), "Disconnect");
}

} // namespace zx
