#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <memory>

#include "headless/headless_views.h"
#include "headless/link_session.h"
#include "headless/settings_report.h"
#include "model/preset_image.h"
#include "platform/qt_platform.h"
#include "platform/routed_serial.h"
#include "support/pty_server.h"
#include "support/ser2net_bridge.h"
#include "support/tool_process.h"

namespace zx {
namespace {

// The line settings of a terminal as the last program set them.
struct LineSettings {
    speed_t speed = 0;
    bool eightBits = false, parity = true, twoStopBits = true;
};
LineSettings TerminalSettings(const QString& path) {
    LineSettings s;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    termios t{};
    if (fd >= 0 && ::tcgetattr(fd, &t) == 0) {
        s.speed = ::cfgetospeed(&t);
        s.eightBits = (t.c_cflag & CSIZE) == CS8;
        s.parity = (t.c_cflag & PARENB) != 0;
        s.twoStopBits = (t.c_cflag & CSTOPB) != 0;
    }
    if (fd >= 0) ::close(fd);
    return s;
}

// The settings of a device image, as the program reads them.
ParameterModel Settings(const QByteArray& image) {
    ParameterModel m;
    ReadImageText(QString::fromLatin1(SimAmplifier::BlockFrame(0, image).toHex().toUpper()), m);
    return m;
}

#define SKIP_WITHOUT_SER2NET()                                                                     \
    if (Ser2netBridge::Program().isEmpty()) GTEST_SKIP() << "ser2net is not installed"

// Through ser2net in real time, the handshake as on a local port. Over Telnet the program sets
// the server's line to 9600 8N1 itself: the server starts it at 19200 baud, 7 bits, even
// parity.
TEST(NetworkLink, handshakeThroughSer2netRawAndTelnet) {
    SKIP_WITHOUT_SER2NET();
    for (bool telnet : {false, true}) {
        SimAmplifier sim;
        sim.setSlot(4, SimAmplifier::DefaultImage(), QByteArray("Hall B").leftJustified(20, '\0'));
        PtyServer amp(sim);
        QString error;
        ASSERT_TRUE(amp.start(&error)) << error.toStdString();
        const QString terminal = amp.ports().deviceName(1);
        Ser2netBridge server;
        ASSERT_TRUE(server.start({{terminal, telnet, QStringLiteral("19200e71")}}, &error))
            << error.toStdString();

        QtTimerHub timers;
        QtClock clock;
        RoutedSerialDevice serial;
        DevicePathPortList ports(server.address(0));
        LinkSession session(timers, clock, serial, ports);
        ASSERT_TRUE(session.Connect(server.address(0)))
            << telnet << " " << session.failure().toStdString();
        EXPECT_TRUE(session.link.devicePresets.Selector.entries.value(3).contains("Hall B"));
        EXPECT_EQ(SettingsDifferences(Settings(sim.liveImage()), session.model), QStringList());
        if (telnet) {
            ASSERT_TRUE(serial.network().telnet());
            EXPECT_TRUE(serial.network().telnet()->comPortAccepted());
            EXPECT_TRUE(session.WaitFor(
                [&] { return serial.network().telnet()->reportedBaudRate() == 9600; }, 5000));
            const LineSettings line = TerminalSettings(terminal);
            EXPECT_EQ(line.speed, speed_t(B9600));
            EXPECT_TRUE(line.eightBits);
            EXPECT_FALSE(line.parity);
            EXPECT_FALSE(line.twoStopBits);
        }
        session.Disconnect();
        EXPECT_FALSE(session.link.transport.LinkUp);
    }
}

// zephranox-ctl on eight amplifiers behind one ser2net, half raw, half Telnet, and a ninth
// address where nothing listens: a block load with verification on all at once, in about
// the time of one, one result line each, the worst status.
TEST(NetworkLink, ctlLoadsEightAmplifiersAtOnce) {
    SKIP_WITHOUT_SER2NET();
    constexpr int kCount = 8;
    std::vector<std::unique_ptr<SimAmplifier>> sims;
    std::vector<std::unique_ptr<PtyServer>> amps;
    std::vector<Ser2netBridge::Bridge> bridges;
    QString error;
    for (int i = 0; i < kCount; ++i) {
        sims.push_back(std::make_unique<SimAmplifier>());
        amps.push_back(std::make_unique<PtyServer>(*sims.back()));
        ASSERT_TRUE(amps.back()->start(&error)) << error.toStdString();
        bridges.push_back({amps.back()->ports().deviceName(1), i % 2 == 1});
    }
    Ser2netBridge server;
    ASSERT_TRUE(server.start(bridges, &error)) << error.toStdString();

    QTemporaryDir dir;
    ParameterModel m;
    m.channels[2].gainIndex = 71;
    m.output(3).routeSource = 3;
    m.bands[BandId(4, 6)].freqIndex = 120;
    const QString file = dir.filePath("venue.preset");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(WriteImageText(m).toLatin1() + "\r\n");
    f.close();
    QString nobody;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        nobody = QStringLiteral("tcp://127.0.0.1:%1").arg(probe.serverPort());
    }
    const QString portsFile = dir.filePath("ports");
    QFile pf(portsFile);
    ASSERT_TRUE(pf.open(QIODevice::WriteOnly));
    pf.write("# the racks\n");
    for (int i = 1; i < kCount; ++i) pf.write(server.address(i).toUtf8() + "  # rack\n\n");
    pf.write(nobody.toUtf8() + "\n");
    pf.close();

    const ToolRun run =
        RunTool(QStringLiteral(ZX_CTL_PATH), {"--port", server.address(0), "--ports-file",
                                              portsFile, "load", file, "--verify", "--json"});
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString() << run.out.toStdString();
    const QList<QByteArray> lines = run.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), kCount + 1) << run.out.toStdString();
    for (int i = 0; i < kCount; ++i) {
        EXPECT_EQ(
            lines[i].toStdString(),
            QStringLiteral("{\"message\":\"\",\"port\":\"%1\",\"result\":\"ok\",\"status\":0}")
                .arg(server.address(i))
                .toStdString());
        EXPECT_EQ(SettingsDifferences(m, Settings(sims[std::size_t(i)]->liveImage())),
                  QStringList())
            << i;
    }
    EXPECT_TRUE(lines[kCount].contains("\"result\":\"failed\"")) << lines[kCount].toStdString();
    EXPECT_TRUE(lines[kCount].contains("No port or in use.")) << lines[kCount].toStdString();
    // One load alone takes the handshake, the block, the 6 s wait and the read-back, some 8 s;
    // eight after each other would take over a minute.
    EXPECT_LE(run.ms, 25000);
}

} // namespace
} // namespace zx
