#include <gtest/gtest.h>

#include "doubles/virtual_serial.h"
#include "platform/path_port_list.h"

namespace zx {
namespace {

const QString kPath = QStringLiteral("/home/tech/zephranox/build/ttyV0");

TEST(PathPortList, listsThePathAfterTheMachinesPortsAndOpensItByItsPath) {
    FakePortList machine({QStringLiteral("COM3"), QStringLiteral("COM12")});
    PathPortList ports(machine, kPath);
    const std::optional<QStringList> list = ports.list();
    ASSERT_TRUE(list);
    EXPECT_EQ(*list, (QStringList{"COM3", "COM12", kPath}));
    // Each entry opens its own device; the machine's entries keep their own numbering.
    const std::vector<std::pair<QString, QString>> table = {
        {kPath, kPath}, {"COM3", "COM3"}, {"COM12", "//./COM12"}};
    for (const auto& [entry, device] : table)
        EXPECT_EQ(ports.deviceName(ports.portNumber(entry)), device) << entry.toStdString();
    EXPECT_NE(ports.portNumber(kPath), 0) << "0 names no port";
    // An entry that names no port of the machine never opens the path.
    for (const char* other : {"COM", "", "ttyV0", "/home/tech/zephranox/build/ttyV1"})
        EXPECT_NE(ports.deviceName(ports.portNumber(QString::fromLatin1(other))), kPath) << other;
}

TEST(PathPortList, thePathStaysListedWhenTheMachinesPortsCannotBeListed) {
    FakePortList machine;
    machine.setFails(true);
    PathPortList ports(machine, kPath);
    EXPECT_EQ(ports.list(), QStringList{kPath});
}

// No path, or a device the machine lists already (by its path, or by its name under /dev), adds
// no entry of its own.
TEST(PathPortList, aPathTheMachineListsToo_isListedOnce) {
    struct Case {
        QStringList machine;
        QString path;
        QStringList listed;
    };
    const Case cases[] = {
        {{kPath}, kPath, {kPath}},
        {{"ttyS0", "ttyUSB0"}, "/dev/ttyUSB0", {"ttyS0", "ttyUSB0"}},
        {{"ttyS0"}, "/dev/pts/3", {"ttyS0", "/dev/pts/3"}},
        {{"ttyS0"}, "", {"ttyS0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        FakePortList machine(c.machine);
        PathPortList ports(machine, c.path);
        EXPECT_EQ(ports.list(), c.listed);
    }
}

} // namespace
} // namespace zx
