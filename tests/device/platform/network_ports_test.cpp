#include <gtest/gtest.h>

#include "doubles/virtual_serial.h"
#include "platform/network_address.h"
#include "platform/network_ports.h"
#include "platform/port_list.h"

namespace zx {
namespace {

TEST(NetworkAddress, parsedTable) {
    struct Row {
        const char* text;
        const char* listed; // empty: refused
        bool telnet;
    };
    const std::vector<Row> table = {
        {"tcp://127.0.0.1:7000", "tcp://127.0.0.1:7000", false},
        {"rfc2217://rack-3.example:2001", "rfc2217://rack-3.example:2001", true},
        {"  TCP://Rack-3:4001/ ", "tcp://rack-3:4001", false},
        {"rfc2217://[fe80::1]:2001", "rfc2217://[fe80::1]:2001", true},
        {"tcp://host:65535", "tcp://host:65535", false},
        {"tcp://host", "", false},        // no port
        {"tcp://host:0", "", false},      // port 0
        {"tcp://host:65536", "", false},  // beyond the ports
        {"tcp://:7000", "", false},       // no host
        {"telnet://host:23", "", false},  // another scheme
        {"tcp://host:7000/x", "", false}, // a path
        {"tcp://u@host:7000", "", false}, // a user
        {"tcp://host:7000?a", "", false}, // a query
        {"ttyUSB0", "", false},
        {"", "", false},
    };
    for (const Row& row : table) {
        const auto a = ParseNetworkAddress(QString::fromUtf8(row.text));
        if (*row.listed == '\0') {
            EXPECT_FALSE(a) << row.text;
            continue;
        }
        ASSERT_TRUE(a) << row.text;
        EXPECT_EQ(NetworkAddressText(*a), QString::fromUtf8(row.listed)) << row.text;
        EXPECT_EQ(a->kind == NetworkAddress::Kind::Rfc2217, row.telnet) << row.text;
    }
}

TEST(NetworkPorts, networkAddressesSortBeforeTheSerialPorts) {
    EXPECT_EQ(SortPortEntries({"ttyS0", "tcp://b:1", "COM3", "rfc2217://a:2", "ttyV0"}),
              (QStringList{"rfc2217://a:2", "tcp://b:1", "COM3", "ttyS0", "ttyV0"}));
}

// A network entry opens its own address; the serial ports keep their numbers and names.
TEST(NetworkPorts, entriesNumberAndNameTheirAddresses) {
    FakePortList system({"COM3", "COM7"});
    NetworkPortList ports(system);
    QStringList changes;
    ports.setChangedHandler([&](const QStringList& a) { changes = a; });
    EXPECT_EQ(ports.add(" TCP://Rack:4001 "), "tcp://rack:4001");
    EXPECT_EQ(ports.add("rfc2217://10.0.0.9:2001"), "rfc2217://10.0.0.9:2001");
    EXPECT_EQ(ports.add("tcp://rack:4001"), "tcp://rack:4001"); // not twice
    EXPECT_EQ(ports.add("tcp://rack"), "");
    EXPECT_EQ(changes, (QStringList{"tcp://rack:4001", "rfc2217://10.0.0.9:2001"}));

    EXPECT_EQ(*ports.list(),
              (QStringList{"COM3", "COM7", "tcp://rack:4001", "rfc2217://10.0.0.9:2001"}));
    const QStringList listed = *ports.list();
    for (const QString& entry : listed)
        EXPECT_EQ(ports.deviceName(ports.portNumber(entry)),
                  entry.startsWith("COM") ? WindowsDeviceName(entry.mid(3).toInt()) : entry)
            << entry.toStdString();
    EXPECT_EQ(ports.portNumber("tcp://other:1"), 0);
    EXPECT_EQ(ports.deviceName(NetworkPortList::kFirstNetworkPort + 2), "");

    system.setFails(true);
    EXPECT_FALSE(ports.list());
}

TEST(NetworkPorts, rememberedAddressesKeepOnlyValidOnesOnce) {
    FakePortList system(QStringList{});
    NetworkPortList ports(system);
    ports.setAddresses({"tcp://a:1", "junk", "TCP://A:1", "rfc2217://b:2"});
    EXPECT_EQ(ports.addresses(), (QStringList{"tcp://a:1", "rfc2217://b:2"}));
}

} // namespace
} // namespace zx
