#pragma once

#include <functional>

#include "link/connection_view.h"

namespace zx {

class Dialogs;
class SendSlots;
class SerialTransport;
class TimerHub;

// The link from the user's side: the port list while disconnected, the connect button, the
// three-stage handshake (any byte within 800 ms, the parameter block within 1500 ms, the preset
// names within 2500 ms of the block request), polling every 500 ms with its 2 s watchdog, and
// the link indicator.
class Connection {
  public:
    Connection(SerialTransport& transport, TimerHub& timers, Dialogs& dialogs, SendSlots& sendSlots,
               ConnectionView& view);

    // Fills the port selector and starts the port-list refresh and the link indicator.
    void Startup();

    // The connect button: the caption shows the link state, a click changes it.
    void OnConnectButton();
    bool CaptionShowsConnect() const { return captionConnect_; }
    // What a refurbish tick does: while disconnected, a port list that changed is shown again.
    void RefreshPortList();

    // The reply dispatcher's hand-overs.
    void OnDeviceBlockApplied();    // the port selector is locked while connected
    void OnHandshakeBlockApplied(); // the end of the second stage: the box closes
    // A damaged block arrived while connecting: it is asked for once more, with fresh
    // deadlines for it and the names.
    void OnBlockDamaged();

    // Called at the end of every disconnect, so that operations waiting for the device end
    // with the link rather than run on into the next connection.
    void setDisconnectedHandler(std::function<void()> handler) {
        onDisconnected_ = std::move(handler);
    }

    // Shared with the recall progress of the preset operations.
    int progressCounter = 0;

    static constexpr int kConnectPauseMs = 100;
    static constexpr int kDisconnectPauseMs = 50;

  private:
    void Connect();
    // Asks for the live block and starts the handshake's deadlines.
    void RequestBlock();
    void Disconnect();
    // Polling, its watchdog, the send cycle and the handshake deadlines.
    void StopLinkTimers();
    void FillPortSelector(const QStringList& entries);
    void SetCaption(bool showsConnect);
    void HandshakeTimedOut();

    void OnTimer1();
    void OnIntimer();
    void OnChcon();
    void OnChcon112();
    void OnChcon188();
    void OnTimer10();
    void OnRefurbish();
    void OnTimerOnOff();

    SerialTransport& transport_;
    TimerHub& timers_;
    Dialogs& dialogs_;
    SendSlots& sendSlots_;
    ConnectionView& view_;
    bool captionConnect_ = false;
    bool blockAskedAgain_ = false;
    bool awaitingOpen_ = false; // the port is still opening; the block request waits
    std::function<void()> onDisconnected_;
};

} // namespace zx
