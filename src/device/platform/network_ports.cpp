#include "platform/network_ports.h"

#include "platform/network_address.h"

namespace zx {

std::optional<QStringList> NetworkPortList::list() {
    std::optional<QStringList> ports = system_.list();
    if (ports) ports->append(addresses_);
    return ports;
}

int NetworkPortList::portNumber(const QString& entry) {
    if (!LooksLikeNetworkAddress(entry)) return system_.portNumber(entry);
    const qsizetype i = addresses_.indexOf(entry);
    return i < 0 ? 0 : kFirstNetworkPort + int(i);
}

QString NetworkPortList::deviceName(int portNumber) const {
    if (portNumber < kFirstNetworkPort) return system_.deviceName(portNumber);
    const int i = portNumber - kFirstNetworkPort;
    return i < addresses_.size() ? addresses_[i] : QString();
}

QString NetworkPortList::add(const QString& text) {
    const std::optional<NetworkAddress> a = ParseNetworkAddress(text);
    if (!a) return {};
    QString entry = NetworkAddressText(*a);
    if (!addresses_.contains(entry)) {
        addresses_ << entry;
        if (onChanged_) onChanged_(addresses_);
    }
    return entry;
}

void NetworkPortList::setAddresses(const QStringList& addresses) {
    addresses_.clear();
    for (const QString& text : addresses) {
        const std::optional<NetworkAddress> a = ParseNetworkAddress(text);
        if (a && !addresses_.contains(NetworkAddressText(*a))) addresses_ << NetworkAddressText(*a);
    }
}

} // namespace zx
