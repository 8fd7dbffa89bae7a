#pragma once

class QSettings;

namespace zx {

class NetworkPortList;

// The network ports the user has used, kept in the settings from one run to the next: read
// into the list now, written back whenever one is added.
void RememberNetworkPorts(NetworkPortList& ports, QSettings& settings);

} // namespace zx
