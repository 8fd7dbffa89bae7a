#pragma once

#include <QByteArray>
#include <QObject>
#include <QTcpSocket>
#include <QTimer>

#include <optional>

#include "platform/serial_device.h"
#include "platform/telnet_codec.h"

namespace zx {

// A serial port behind a device server on the network, opened by its address
// (tcp://HOST:PORT or rfc2217://HOST:PORT). Above this class it is a serial port like any
// other: a host that refuses or does not answer is a port that does not open, and a
// connection that drops is an adapter pulled out. Nothing here blocks the caller's thread:
// the connection is made and the bytes are sent by the event loop, and a server that stops
// taking them shows as a device that stops answering.
class NetworkSerialDevice : public QObject, public SerialDevice {
    Q_OBJECT
  public:
    NetworkSerialDevice();

    // Starts connecting and returns at once: true for a well-formed address. Bytes written
    // meanwhile go out once connected; a host that refuses, or has not answered within
    // kConnectLimitMs, is reported as an open failure.
    bool open(const QString& address) override;
    bool isOpen() const override { return open_; }
    bool opening() const override { return open_ && !connected_; }
    bool write(const QByteArray& bytes) override;
    int bytesQueued() override;
    std::optional<QByteArray> read(int maxBytes) override;
    void purge() override;
    void close() override;

    // A host that has not answered by then is a port that does not open.
    static constexpr int kConnectLimitMs = 800;
    // Bytes the server has not taken yet; beyond it the line counts as failed. At 9600 baud
    // the device takes about 1 kB a second, and nothing the program sends comes near this.
    static constexpr int kWriteBacklogLimit = 16384;

    // The Telnet side of an rfc2217 connection; nullptr on a raw one or when closed.
    const TelnetCodec* telnet() const { return telnet_ ? &*telnet_ : nullptr; }

  protected:
    void postNotification() override;

  private:
    // Moves what the socket holds through the Telnet layer into the input queue, as far as
    // the queue takes it, and sends the answers the layer owes the server.
    void take();
    void dropped();
    void onConnected();
    // Ends a connection attempt that did not succeed; the open failure is reported from the
    // event loop.
    void openFailed();
    // Queues bytes for the socket, or until it is connected.
    bool send(const QByteArray& wire);

    QTcpSocket socket_;
    QTimer connectLimit_;
    std::optional<TelnetCodec> telnet_;
    QByteArray input_;
    QByteArray unsent_; // written before the connection was made
    bool open_ = false;
    bool connected_ = false;
    int attempt_ = 0; // counts open() calls
};

} // namespace zx
