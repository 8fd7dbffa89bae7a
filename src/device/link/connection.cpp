#include "link/connection.h"

#include "link/frame.h"
#include "link/send_slots.h"
#include "link/serial_transport.h"
#include "platform/dialogs.h"
#include "platform/message_texts.h"
#include "platform/timer_hub.h"

#include <utility>

namespace zx {
namespace {

using texts::kInterrupt;
using texts::kNoPort;
using texts::kOvertime;

} // namespace

Connection::Connection(SerialTransport& transport, TimerHub& timers, Dialogs& dialogs,
                       SendSlots& sendSlots, ConnectionView& view)
    : transport_(transport), timers_(timers), dialogs_(dialogs), sendSlots_(sendSlots),
      view_(view) {
    timers_.setHandler(TimerId::Timer1, [this] { OnTimer1(); });
    timers_.setHandler(TimerId::intimer, [this] { OnIntimer(); });
    timers_.setHandler(TimerId::chcon, [this] { OnChcon(); });
    timers_.setHandler(TimerId::chcon112, [this] { OnChcon112(); });
    timers_.setHandler(TimerId::chcon188, [this] { OnChcon188(); });
    timers_.setHandler(TimerId::Timer10, [this] { OnTimer10(); });
    timers_.setHandler(TimerId::refurbish, [this] { OnRefurbish(); });
    timers_.setHandler(TimerId::TimerONOFF, [this] { OnTimerOnOff(); });
    // A network port connects after OpenPort has returned; a host that refuses or never
    // answers is a port that does not open.
    transport_.setOpenFailedHandler([this] {
        if (!captionConnect_) return;
        Disconnect();
        transport_.SelectedPort = 0;
        dialogs_.message(kNoPort);
    });
    // The handshake's deadlines count from the block request, which goes out once the port
    // is open; the time a network port takes to connect is not the device's.
    transport_.setOpenedHandler([this] {
        if (std::exchange(awaitingOpen_, false) && captionConnect_) RequestBlock();
    });
}

void Connection::Startup() {
    QStringList entries;
    if (transport_.ListPorts(entries)) FillPortSelector(entries);
    SetCaption(false);
    view_.setLinkIndicator(transport_.LinkUp);
    timers_.start(TimerId::refurbish);
    timers_.start(TimerId::TimerONOFF);
}

void Connection::FillPortSelector(const QStringList& entries) {
    view_.setPortEntries(entries);
    if (!entries.isEmpty()) transport_.RebuildPortNumbers(entries);
}

void Connection::SetCaption(bool showsConnect) {
    captionConnect_ = showsConnect;
    view_.setConnectCaption(showsConnect ? QStringLiteral("Connect")
                                         : QStringLiteral("Disconnect"));
}

void Connection::OnConnectButton() {
    if (captionConnect_)
        Disconnect();
    else
        Connect();
}

void Connection::Connect() {
    view_.hideEditor();
    progressCounter = 0;
    view_.setConnectingPercent(0);
    view_.showConnectingBox(true);
    view_.setMainPanelsEnabled(false);
    timers_.start(TimerId::Timer10);

    const int index = view_.selectedPortIndex();
    transport_.SelectedPort = index >= 0 && index < static_cast<int>(transport_.PortNumbers.size())
                                  ? transport_.PortNumbers[static_cast<std::size_t>(index)]
                                  : 0;
    transport_.PumpWait(kConnectPauseMs);
    if (transport_.LinkUp) {
        transport_.ClosePort();
        transport_.PumpWait(kConnectPauseMs);
    }
    sendSlots_.ClearPending();

    blockAskedAgain_ = false;
    awaitingOpen_ = false;
    if (transport_.OpenPort()) {
        if (transport_.Opening())
            awaitingOpen_ = true;
        else
            RequestBlock();
    } else {
        transport_.SelectedPort = 0;
        view_.showConnectingBox(false);
        timers_.stop(TimerId::Timer10);
        view_.setMainPanelsEnabled(true);
        dialogs_.message(kNoPort);
    }
    if (transport_.SelectedPort != 0) SetCaption(true);
}

void Connection::RequestBlock() {
    transport_.StartReader();
    transport_.RxHexBuffer.clear();
    transport_.SendBuffer = LiveBlockRequest();
    transport_.WritePort();
    // The three deadlines all count from the moment the request has gone out.
    timers_.start(TimerId::chcon);
    timers_.start(TimerId::chcon112);
    timers_.start(TimerId::chcon188);
}

void Connection::Disconnect() {
    awaitingOpen_ = false;
    view_.showConnectingBox(false);
    view_.setMainPanelsEnabled(true);
    timers_.stop(TimerId::Timer10);
    view_.setPortSelectorEnabled(true);
    StopLinkTimers();
    transport_.SendBuffer.clear();
    transport_.SelectedPort = -1;
    transport_.PumpWait(kDisconnectPauseMs);
    transport_.ClosePort();
    transport_.LinkUp = false;
    // A reply handled during the pause (the names ending a handshake, a recalled block) has
    // started polling and sending again; with the port closed they must not run on into the
    // next connect, where a poll would empty the buffer while the block arrives.
    StopLinkTimers();
    transport_.SendBuffer.clear();
    // A block that arrived during the pause has locked the selector again; disconnected, the
    // user must be able to pick another port.
    view_.setPortSelectorEnabled(true);
    view_.resetCrossoverChannel();
    SetCaption(false);
    if (onDisconnected_) onDisconnected_();
}

void Connection::StopLinkTimers() {
    timers_.stop(TimerId::Timer1);
    timers_.stop(TimerId::intimer);
    // The whole send cycle ends here, so that a frame picked just before the disconnect is not
    // written into the next handshake; likewise a handshake deadline must not fire afterwards
    // and start a new attempt on its own.
    sendSlots_.Stop();
    timers_.stop(TimerId::chcon);
    timers_.stop(TimerId::chcon112);
    timers_.stop(TimerId::chcon188);
}

void Connection::OnDeviceBlockApplied() {
    view_.setPortSelectorEnabled(false);
}

void Connection::OnHandshakeBlockApplied() {
    view_.showConnectingBox(false);
    timers_.stop(TimerId::Timer10);
    view_.setMainPanelsEnabled(true);
}

void Connection::OnBlockDamaged() {
    if (blockAskedAgain_ || !timers_.isActive(TimerId::chcon112)) return;
    blockAskedAgain_ = true;
    transport_.RxHexBuffer.clear();
    transport_.SendBuffer = LiveBlockRequest();
    transport_.WritePort();
    for (TimerId t : {TimerId::chcon112, TimerId::chcon188}) {
        timers_.stop(t);
        timers_.start(t);
    }
}

void Connection::HandshakeTimedOut() {
    OnConnectButton();
    dialogs_.message(kOvertime);
}

void Connection::OnChcon() {
    timers_.stop(TimerId::chcon);
    timers_.stop(TimerId::chcon112);
    timers_.stop(TimerId::chcon188);
    HandshakeTimedOut();
}

void Connection::OnChcon112() {
    timers_.stop(TimerId::chcon112);
    timers_.stop(TimerId::chcon188);
    HandshakeTimedOut();
}

void Connection::OnChcon188() {
    timers_.stop(TimerId::chcon188);
    HandshakeTimedOut();
}

void Connection::OnTimer10() {
    ++progressCounter;
    view_.setConnectingPercent(progressCounter * 5);
    if (progressCounter >= 100) timers_.stop(TimerId::Timer10);
}

void Connection::OnTimer1() {
    if (!transport_.LinkUp) return;
    transport_.RxHexBuffer.clear();
    transport_.SendBuffer = PollRequest();
    transport_.WritePort();
    timers_.start(TimerId::intimer); // a running watchdog keeps its deadline
}

void Connection::OnIntimer() {
    timers_.stop(TimerId::intimer);
    OnConnectButton();
    dialogs_.message(kInterrupt);
}

void Connection::OnRefurbish() {
    RefreshPortList();
}

void Connection::RefreshPortList() {
    if (transport_.LinkUp) return;
    QStringList scratch;
    if (!transport_.ListPorts(scratch)) return;
    if (scratch != view_.portEntries()) FillPortSelector(scratch);
}

void Connection::OnTimerOnOff() {
    view_.setLinkIndicator(transport_.LinkUp);
}

} // namespace zx
