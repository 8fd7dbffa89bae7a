#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace zx {

// A serial port offered over the network by a device server: tcp://HOST:PORT carries the
// bytes as they are, rfc2217://HOST:PORT speaks Telnet with the com-port option.
struct NetworkAddress {
    enum class Kind { Raw, Rfc2217 };
    Kind kind = Kind::Raw;
    QString host; // a name, an IPv4 address or an IPv6 address without brackets
    std::uint16_t port = 0;
};

// nullopt unless text is such an address: scheme tcp or rfc2217 (any case), a host, a port
// 1..65535, nothing else (no path, user, query or fragment); spaces around it are allowed.
std::optional<NetworkAddress> ParseNetworkAddress(const QString& text);
// The address as the program lists it: scheme and host in lower case, an IPv6 host in
// brackets ("rfc2217://[fe80::1]:2001").
QString NetworkAddressText(const NetworkAddress& address);
// Whether a port name is meant as a network address (it has a scheme), valid or not.
bool LooksLikeNetworkAddress(const QString& name);

} // namespace zx
