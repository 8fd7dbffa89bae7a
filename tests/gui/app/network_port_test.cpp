#include <QInputDialog>
#include <QSettings>
#include <QTemporaryDir>

#include "app_fixture.h"
#include "desktop/remembered_ports.h"

namespace zx {
namespace {

class NetworkPortTest : public AppTest {
  protected:
    // Chooses "Network port…" in the selector; the dialog gets `typed` and OK, or is
    // cancelled when typed is null.
    void chooseNetworkPort(const QString& typed) {
        if (!typed.isNull())
            tp.dialogs.answerModal([typed](QDialog& d) {
                dynamic_cast<QInputDialog&>(d).setTextValue(typed);
                return int(QDialog::Accepted);
            });
        QComboBox* selector = app.window.portSelector();
        const int item = selector->count() - 1;
        EXPECT_EQ(selector->itemText(item), "Network port\u2026");
        selector->setCurrentIndex(item);
        emit selector->activated(item);
    }
    QString chosen() const { return app.window.portSelector()->currentText(); }
};

TEST_F(NetworkPortTest, anAddressTypedIsListedChosenAndRemembered) {
    QStringList remembered;
    tp.networkPorts.setChangedHandler([&](const QStringList& a) { remembered = a; });
    chooseNetworkPort(QStringLiteral(" TCP://Rack-2:4001 "));
    EXPECT_EQ(app.window.portEntries(), (QStringList{"tcp://rack-2:4001", "COM3"}));
    EXPECT_EQ(chosen(), "tcp://rack-2:4001");
    EXPECT_EQ(remembered, QStringList{"tcp://rack-2:4001"});
    // The connect opens the address itself.
    const int number =
        app.link.transport.PortNumbers.at(std::size_t(app.window.selectedPortIndex()));
    EXPECT_EQ(tp.networkPorts.deviceName(number), "tcp://rack-2:4001");
    // The refurbish ticks keep it listed and chosen.
    tp.advance(4000);
    EXPECT_EQ(chosen(), "tcp://rack-2:4001");
}

TEST_F(NetworkPortTest, cancelledOrNotAnAddressKeepsThePortChosenBefore) {
    struct Case {
        QString typed; // null: cancelled
        const char* message;
    };
    const Case cases[] = {
        {QString(), nullptr},
        {QStringLiteral("rack-2:4001"), "Not a network port."},
        {QStringLiteral("tcp://rack-2"), "Not a network port."},
        {QStringLiteral("telnet://rack-2:23"), "Not a network port."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        tp.dialogs.clear();
        chooseNetworkPort(c.typed);
        EXPECT_EQ(tp.dialogs.messages(),
                  c.message ? QStringList{QString::fromUtf8(c.message)} : QStringList());
        EXPECT_EQ(app.window.portEntries(), QStringList{"COM3"});
        EXPECT_EQ(chosen(), "COM3");
        EXPECT_EQ(app.window.selectedPortIndex(), 0);
    }
}

// zephranox --port: a listed port, a device path, or a network address that is added.
TEST_F(NetworkPortTest, thePortGivenAtStartIsChosen) {
    tp.ports.setEntries({"COM3", "COM7"});
    tp.advance(2000);
    struct Case {
        const char* given;
        bool found;
        const char* chosen;
    };
    const Case cases[] = {
        {"COM3", true, "COM3"},
        {"rfc2217://10.1.1.1:2001", true, "rfc2217://10.1.1.1:2001"},
        {"COM9", false, "rfc2217://10.1.1.1:2001"},
        {"tcp://10.1.1.1", false, "rfc2217://10.1.1.1:2001"},
        {"/dev/COM7", true, "COM7"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.given);
        EXPECT_EQ(app.SelectStartPort(QString::fromUtf8(c.given)), c.found);
        EXPECT_EQ(chosen(), QString::fromUtf8(c.chosen));
    }
    EXPECT_EQ(app.window.portEntries(), (QStringList{"rfc2217://10.1.1.1:2001", "COM3", "COM7"}));
}

TEST(RememberedPorts, addressesOutliveTheProgram) {
    QTemporaryDir dir;
    const QString file = dir.filePath("zephranox.conf");
    FakePortList system;
    {
        QSettings settings(file, QSettings::IniFormat);
        NetworkPortList ports(system);
        RememberNetworkPorts(ports, settings);
        EXPECT_TRUE(ports.addresses().isEmpty());
        ports.add("tcp://rack-1:4001");
        ports.add("rfc2217://rack-2:2001");
    }
    QSettings settings(file, QSettings::IniFormat);
    NetworkPortList ports(system);
    RememberNetworkPorts(ports, settings);
    EXPECT_EQ(ports.addresses(), (QStringList{"tcp://rack-1:4001", "rfc2217://rack-2:2001"}));
}

} // namespace
} // namespace zx
