#include "desktop/remembered_ports.h"

#include <QSettings>

#include "platform/network_ports.h"

namespace zx {

namespace {
const QString kKey = QStringLiteral("networkPorts");
}

void RememberNetworkPorts(NetworkPortList& ports, QSettings& settings) {
    ports.setAddresses(settings.value(kKey).toStringList());
    ports.setChangedHandler([&settings](const QStringList& addresses) {
        settings.setValue(kKey, addresses);
        settings.sync();
    });
}

} // namespace zx
