#include "platform/network_address.h"

#include <QUrl>

namespace zx {

bool LooksLikeNetworkAddress(const QString& name) {
    return name.contains(QStringLiteral("://"));
}

std::optional<NetworkAddress> ParseNetworkAddress(const QString& text) {
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() || url.port() < 1) return std::nullopt;
    if (!url.userInfo().isEmpty() || url.hasQuery() || url.hasFragment()) return std::nullopt;
    if (!url.path().isEmpty() && url.path() != QLatin1String("/")) return std::nullopt;
    NetworkAddress a;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("tcp"))
        a.kind = NetworkAddress::Kind::Raw;
    else if (scheme == QLatin1String("rfc2217"))
        a.kind = NetworkAddress::Kind::Rfc2217;
    else
        return std::nullopt;
    a.host = url.host();
    a.port = std::uint16_t(url.port());
    return a;
}

QString NetworkAddressText(const NetworkAddress& address) {
    const QString scheme = address.kind == NetworkAddress::Kind::Raw ? QStringLiteral("tcp")
                                                                     : QStringLiteral("rfc2217");
    const QString host = address.host.contains(u':') ? u'[' + address.host + u']' : address.host;
    return scheme + QStringLiteral("://") + host.toLower() + u':' + QString::number(address.port);
}

} // namespace zx
