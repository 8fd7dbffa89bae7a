#pragma once

#include <QByteArray>
#include <QObject>
#include <QTcpSocket>

#include <optional>

#include "platform/serial_device.h"
#include "platform/telnet_codec.h"

namespace zx {

// A serial port behind a device server on the network, opened by its address
// (tcp://HOST:PORT or rfc2217://HOST:PORT). Above this class it is a serial port like any
// other: a host that refuses or does not answer is a port that does not open, and a
// connection that drops is an adapter pulled out.
class NetworkSerialDevice : public QObject, public SerialDevice {
    Q_OBJECT
  public:
    NetworkSerialDevice();

    // Connects without blocking the event loop: the wait handles events until the host has
    // answered or kConnectLimitMs have passed.
    bool open(const QString& address) override;
    bool isOpen() const override { return open_; }
    bool write(const QByteArray& bytes) override;
    int bytesQueued() override;
    std::optional<QByteArray> read(int maxBytes) override;
    void purge() override;
    void close() override;

    // As long as the handshake waits for a first byte.
    static constexpr int kConnectLimitMs = 800;

    // The Telnet side of an rfc2217 connection; nullptr on a raw one or when closed.
    const TelnetCodec* telnet() const { return telnet_ ? &*telnet_ : nullptr; }

  protected:
    void postNotification() override;

  private:
    // Moves what the socket holds through the Telnet layer into the input queue, as far as
    // the queue takes it, and sends the answers the layer owes the server.
    void take();
    void dropped();

    QTcpSocket socket_;
    std::optional<TelnetCodec> telnet_;
    QByteArray input_;
    bool open_ = false;
};

} // namespace zx
