#pragma once

#include <QStringList>

#include <functional>

#include "platform/port_list.h"

namespace zx {

// The machine's serial ports and, in front of them, the network ports in use
// (tcp://HOST:PORT, rfc2217://HOST:PORT). A network entry opens its address.
class NetworkPortList : public PortList {
  public:
    explicit NetworkPortList(PortList& system) : system_(system) {}

    // The network entries and the system's ports; nullopt when the system's cannot be listed.
    std::optional<QStringList> list() override;
    int portNumber(const QString& entry) override;
    QString deviceName(int portNumber) const override;

    // Adds an address in its listed form and returns that form; empty when text is not a
    // network address. An address already there is not added again.
    QString add(const QString& text);
    // The addresses added, oldest first; setting them keeps the valid ones.
    QStringList addresses() const { return addresses_; }
    void setAddresses(const QStringList& addresses);
    // Told the addresses whenever one is added.
    void setChangedHandler(std::function<void(const QStringList&)> handler) {
        onChanged_ = std::move(handler);
    }

    // Network entries are numbered from here, far above any serial port's number.
    static constexpr int kFirstNetworkPort = 1 << 20;

  private:
    PortList& system_;
    QStringList addresses_; // a network port's number is kFirstNetworkPort + its index
    std::function<void(const QStringList&)> onChanged_;
};

} // namespace zx
