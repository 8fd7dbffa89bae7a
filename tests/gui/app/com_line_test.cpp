#include <gtest/gtest.h>

#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>

#include <cstdio>

#include "app/application.h"
#include "desktop/qt_window_platform.h"
#include "support/real_time_wait.h"
#include "window_doubles/scripted_dialogs.h"

namespace zx {
namespace {

// In real time, on the machine's own port list and a port with the simulated amplifier behind
// it: on Windows the registry's list and Wine's COM5 leading to amp-sim's pseudo-terminal
// (make windows-test); on Linux, run by hand, a /dev/ttyV<n> link made by amp-sim as root.
// ZX_COM_PORT names the port the list has last; creating the file ZX_COM_PULL asks the caller
// to pull the line. The handshake, an edit at the send pace (read back by a second
// handshake), then the pulled line ends the link with "interrupt.".
TEST(ComLine, registrysLastPortConnectsEditsAndEndsWithInterruptWhenPulled) {
    const QString port = qEnvironmentVariable("ZX_COM_PORT");
    const QString pull = qEnvironmentVariable("ZX_COM_PULL");
    if (port.isEmpty() || pull.isEmpty()) GTEST_SKIP() << "needs a COM port: make windows-test";

    QtPlatform qt;
    ScriptedDialogs dialogs(&qt.clock);
    Application app(WindowPlatform{qt.timers, qt.clock, qt.serial, qt.ports, dialogs, qt.work});
    app.Start();
    ASSERT_EQ(app.window.portSelector()->currentText(), port);
    const auto connect = [&] {
        app.window.connectButton()->click();
        return WaitFor(
            qt.clock,
            [&] { return app.link.transport.LinkUp && qt.timers.isActive(TimerId::Timer1); }, 5000);
    };
    QElapsedTimer took;
    took.start();
    ASSERT_TRUE(connect()) << dialogs.messages().join('|').toStdString();
    std::printf("connect to names over %s: %lld ms\n", qPrintable(port),
                static_cast<long long>(took.elapsed()));

    app.model.channels[2].gainIndex = 77;
    app.link.sendSlots.BuildChannelSettings(2);
    app.model.bands[BandId(3, 4)].qIndex = 30;
    app.link.sendSlots.BuildEqBand(BandId(3, 4));
    ASSERT_TRUE(WaitFor(
        qt.clock,
        [&] {
            return !app.link.sendSlots.AnyPending() && app.link.sendSlots.CurrentSlot() == 0 &&
                   !qt.timers.isActive(TimerId::Timer4);
        },
        4000));
    qt.clock.pumpWait(100);
    app.window.connectButton()->click(); // disconnect
    app.model.channels[2].gainIndex = 0;
    app.model.bands[BandId(3, 4)].qIndex = 0;
    ASSERT_TRUE(connect()) << dialogs.messages().join('|').toStdString();
    EXPECT_EQ(app.model.channels[2].gainIndex, 77);
    EXPECT_EQ(app.model.bands[BandId(3, 4)].qIndex, 30);

    QFile pulled(pull);
    ASSERT_TRUE(pulled.open(QIODevice::WriteOnly));
    pulled.close();
    ASSERT_TRUE(WaitFor(
        qt.clock, [&] { return !dialogs.messages().isEmpty(); }, 6000));
    EXPECT_EQ(dialogs.messages(), QStringList{"interrupt."});
    EXPECT_FALSE(app.link.transport.LinkUp);
}

} // namespace
} // namespace zx
