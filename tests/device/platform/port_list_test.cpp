#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include "platform/port_list.h"
#include "platform/qt_platform.h"

namespace zx {
namespace {

TEST(PortNames, sortedCaseInsensitively) {
    EXPECT_EQ(SortPortEntries({"COM2", "COM10", "com3", "COM1"}),
              (QStringList{"COM1", "COM10", "COM2", "com3"}));
    EXPECT_EQ(SortPortEntries({"ttyV1", "ttyS0", "ttyACM0", "TTYUSB0"}),
              (QStringList{"ttyACM0", "ttyS0", "TTYUSB0", "ttyV1"}));
}

TEST(PortNames, windowsPortNumberIsTheEntryAfterItsFirstThreeCharacters) {
    const std::vector<std::pair<QString, int>> table = {
        {"COM1", 1},  {"COM10", 10}, {"COM2", 2},  {"com3", 3},  {"COM12", 12},
        {"CNCA0", 0}, {"COM", 0},    {"COM1a", 0}, {"COM-1", 0}, {"", 0}};
    for (const auto& [entry, n] : table)
        EXPECT_EQ(WindowsPortNumber(entry), n) << entry.toStdString();
}

TEST(PortNames, windowsDeviceNameUsesTheLongFormFromTen) {
    EXPECT_EQ(WindowsDeviceName(9), "COM9");
    EXPECT_EQ(WindowsDeviceName(10), "//./COM10");
    EXPECT_EQ(WindowsDeviceName(0), "COM0");
    EXPECT_EQ(WindowsDeviceName(1), "COM1");
}

TEST(PortNames, virtualPortsAreTtyVLinksToAPseudoTerminal) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const QString terminal = QString::fromLocal8Bit(ptsname(master));

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile plain(dir.filePath("ttyV4"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    ASSERT_TRUE(QFile::link(terminal, dir.filePath("ttyV0")));
    ASSERT_TRUE(QFile::link(terminal, dir.filePath("ttyV12")));
    ASSERT_TRUE(QFile::link(terminal, dir.filePath("ttyVx")));              // not digits
    ASSERT_TRUE(QFile::link(dir.filePath("ttyV4"), dir.filePath("ttyV5"))); // not a terminal
    ASSERT_TRUE(QFile::link(dir.filePath("gone"), dir.filePath("ttyV6")));  // dangling
    ASSERT_TRUE(QFile::link(terminal, dir.filePath("ttyS9")));

    QStringList found = VirtualSerialPorts(dir.path());
    found.sort();
    EXPECT_EQ(found, (QStringList{"ttyV0", "ttyV12"}));
    ::close(master);
}

// The system is only asked again when a directory changes; every change still shows at the
// next refresh, including a link whose terminal went away.
TEST(PortNames, repeatedListingsFollowPortsComingAndGoing) {
#ifndef _WIN32
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const QString terminal = QString::fromLocal8Bit(ptsname(master));
    QTemporaryDir dev;
    QTemporaryDir ttyClass;
    ASSERT_TRUE(dev.isValid() && ttyClass.isValid());
    SystemPortList ports(dev.path(), ttyClass.path());
    const QStringList before = ports.list().value();
    EXPECT_FALSE(before.contains("ttyV3"));
    EXPECT_EQ(ports.list().value(), before);

    ASSERT_TRUE(QFile::link(terminal, dev.filePath("ttyV3")));
    EXPECT_EQ(ports.list().value(), before + QStringList{"ttyV3"});
    EXPECT_EQ(ports.list().value(), before + QStringList{"ttyV3"});

    ::close(master); // the terminal is gone, its link stays
    EXPECT_EQ(ports.list().value(), before);
    ASSERT_TRUE(QFile::remove(dev.filePath("ttyV3")));
    EXPECT_EQ(ports.list().value(), before);
#endif
}

TEST(PortNames, linuxEntriesKeepTheirNumberAndNameTheirDevice) {
#ifndef _WIN32
    SystemPortList ports;
    const int a = ports.portNumber("ttyV0");
    const int b = ports.portNumber("ttyUSB0");
    EXPECT_GT(a, 0);
    EXPECT_GT(b, 0);
    EXPECT_NE(a, b);
    EXPECT_EQ(ports.portNumber("ttyV0"), a);
    EXPECT_EQ(ports.deviceName(a), "/dev/ttyV0");
    EXPECT_EQ(ports.deviceName(b), "/dev/ttyUSB0");
    EXPECT_EQ(ports.portNumber(""), 0);
    EXPECT_TRUE(ports.deviceName(0).isEmpty());
    EXPECT_TRUE(ports.deviceName(-1).isEmpty());
#endif
}

} // namespace
} // namespace zx
