#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>

#include "app/application.h"
#include "platform/network_ports.h"
#include "platform/path_port_list.h"
#include "window_doubles/test_platform.h"

namespace zx {
namespace {

// `zephranox --port PATH` against a simulated amplifier that answers only on PATH, such as
// the link `amp-sim --link PATH` makes: the path is listed, chosen and connected to, although
// it sorts before the machine's own ports.
TEST(PortArgument, theNamedDeviceIsChosenAndConnects) {
    const QString path = QStringLiteral("/tmp/zx/ttyV0");
    TestPlatform tp;
    tp.ports.setEntries({QStringLiteral("COM3"), QStringLiteral("COM4")});
    VirtualSerialDevice serial(tp.clock, tp.sim, path);
    PathPortList withPath(tp.ports, path);
    NetworkPortList ports(withPath);
    Application app(WindowPlatform{tp.clock, tp.clock, serial, ports, tp.dialogs, tp.work});
    app.Start();
    QComboBox* selector = app.window.portSelector();
    ASSERT_EQ(selector->currentText(), QStringLiteral("COM4")) << "the last entry, by default";

    ASSERT_TRUE(app.SelectStartPort(path)); // as main() does
    ASSERT_EQ(selector->currentData().toString(), path);
    EXPECT_EQ(selector->currentText(), QStringLiteral("ttyV0")); // the path whole as tooltip
    app.window.connectButton()->click();
    EXPECT_TRUE(tp.runUntil(
        [&] { return app.link.transport.LinkUp && tp.clock.isActive(TimerId::Timer1); }, 3000));
    EXPECT_TRUE(tp.dialogs.messages().isEmpty()) << tp.dialogs.messages().join(' ').toStdString();
    // The port list's refresh keeps the chosen entry.
    tp.advance(5000);
    EXPECT_EQ(selector->currentData().toString(), path);
}

} // namespace
} // namespace zx
