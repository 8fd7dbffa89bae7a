#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

#include "platform/clock.h"
#include "platform/port_list.h"
#include "platform/serial_device.h"

namespace zx {

// The serial port to the amplifier: port list, open and close, the synchronous write and the
// receive notification that turns arrived bytes into hex text and runs the reply dispatcher.
// It knows nothing about frames.
class SerialTransport {
  public:
    SerialTransport(SerialDevice& device, PortList& ports, Clock& clock);

    // The received bytes as uppercase hex text, two characters per byte, in arrival order.
    QString RxHexBuffer;
    // The bytes WritePort sends; callers empty and fill it.
    QByteArray SendBuffer;
    // Gates all traffic. Stays true after a read or write failure until ClosePort.
    bool LinkUp = false;
    // The port OpenPort opens; 0 after a failed connect, -1 after a disconnect.
    int SelectedPort = 0;
    // One port number per port-list entry.
    std::vector<int> PortNumbers;

    // Replaces list with the machine's serial ports, sorted case-insensitively; false and
    // list unchanged when the ports cannot be listed.
    bool ListPorts(QStringList& list);
    void RebuildPortNumbers(const QStringList& list);
    // Opens SelectedPort at 9600 8N1; the result is LinkUp.
    bool OpenPort();
    // Wires the receive notification to OnCommNotify. Only meaningful while LinkUp is true.
    void StartReader();
    // Writes all of SendBuffer (unchanged): a local port returns when it has gone out, a
    // network port when it is queued for the event loop to send.
    void WritePort();
    // Stops receiving, discards queued data, closes the port and clears LinkUp. Never waits
    // for a notification that is being handled.
    void ClosePort();
    void PumpWait(int ms);

    // The receive notification: a 50 ms pause, then the waiting bytes (at most 1025 per read,
    // at most one input queue's worth in all, the rest with the next notification) appended
    // to RxHexBuffer, then the dispatcher, which runs even when nothing was read.
    void OnCommNotify();
    // The reply dispatcher OnCommNotify runs after appending.
    void setDispatcher(std::function<void()> dispatcher) { dispatcher_ = std::move(dispatcher); }
    // A port whose open completes later (a network port) did not open after all; the port
    // has been torn down.
    void setOpenFailedHandler(std::function<void()> handler) { onOpenFailed_ = std::move(handler); }
    // The port OpenPort accepted is still being opened (a network port connecting); the
    // opened handler, or else the open-failed one, follows.
    bool Opening() const { return LinkUp && !tornDown_ && device_.opening(); }
    void setOpenedHandler(std::function<void()> handler) { onOpened_ = std::move(handler); }

    bool readerRunning() const { return readerRunning_; }
    // A read or write failure closed the device while LinkUp stays true.
    bool tornDown() const { return tornDown_; }

    static constexpr int kReadChunk = 1025;
    // Enough reads for a full input queue.
    static constexpr int kMaxReadsPerNotify =
        (SerialDevice::kInputQueueSize + kReadChunk - 1) / kReadChunk;
    static constexpr int kNotifyPauseMs = 50;

  private:
    void TearDown();

    SerialDevice& device_;
    PortList& ports_;
    Clock& clock_;
    std::function<void()> dispatcher_;
    std::function<void()> onOpenFailed_;
    std::function<void()> onOpened_;
    bool readerRunning_ = false;
    bool tornDown_ = false;
};

} // namespace zx
