#include "platform/win_serial_device.h"

namespace zx {

namespace {

// Whether the caller goes on after `call` returned `ok`.
bool Survives(CommCall call, BOOL ok) {
    return ok || EndOfFailed(call) == FailureEnd::Ignored;
}

std::uint32_t LastErrorIf(BOOL returned) {
    return returned ? 0 : std::uint32_t(GetLastError());
}

// A manual-reset event, not signalled.
HANDLE NewEvent() {
    return CreateEventA(nullptr, TRUE, FALSE, nullptr);
}

} // namespace

WinSerialDevice::WinSerialDevice() {
    connect(&notifier_, &QWinEventNotifier::activated, this, [this] { receiveWatchDone(); });
    queueCheck_.setInterval(kQueueCheckMs);
    connect(&queueCheck_, &QTimer::timeout, this, [this] {
        if (!watching_) return;
        // A queue that cannot be read any more is a pulled adapter, as when a wait ends so.
        const int queued = bytesQueued();
        if (queued > 0) dataArrived();
        if (queued >= 0) return;
        notifier_.setEnabled(false);
        queueCheck_.stop();
        reportFailure();
    });
}

WinSerialDevice::~WinSerialDevice() {
    close();
    if (watch_.hEvent) CloseHandle(watch_.hEvent);
}

bool WinSerialDevice::open(const QString& deviceName) {
    if (isOpen() || deviceName.isEmpty()) return false;
    // Exclusive; "COM9", or "//./COM10" from ten on (the short form reaches COM1..COM9 only).
    const HANDLE h =
        CreateFileA(deviceName.toLocal8Bit().constData(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    // A read returns at once with whatever is queued; writes have no time-out.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    bool ok = Survives(CommCall::SetCommTimeouts, SetCommTimeouts(h, &timeouts)) &&
              Survives(CommCall::SetupComm, SetupComm(h, kInputQueueSize, kInputQueueSize));
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    ok = ok && Survives(CommCall::GetCommState, GetCommState(h, &dcb));
    if (ok) SetLineSettings(dcb);
    ok = ok && Survives(CommCall::SetCommState, SetCommState(h, &dcb)) &&
         Survives(CommCall::SetCommMask, SetCommMask(h, EV_RXCHAR));
    if (!ok) {
        CloseHandle(h);
        return false;
    }
    port_ = h;
    // Nothing from before the open belongs to this connection.
    PurgeComm(port_, PURGE_TXCLEAR | PURGE_RXCLEAR);
    if (!watch_.hEvent) watch_.hEvent = NewEvent();
    if (!watch_.hEvent || !watchReceive()) {
        // No notification will come: the handshake time-out ends the attempt. The raised DTR
        // line is what a port without a receive watch is left with.
        if (EndOfFailed(CommCall::WatchReceive) == FailureEnd::DtrRaised)
            EscapeCommFunction(port_, SETDTR);
        return true;
    }
    notifier_.setHandle(watch_.hEvent);
    notifier_.setEnabled(true);
    queueCheck_.start();
    return true;
}

bool WinSerialDevice::watchReceive() {
    mask_ = 0;
    ResetEvent(watch_.hEvent);
    const BOOL ok = WaitCommEvent(port_, &mask_, &watch_);
    const IoState state = StartedIo(OverlappedCall::WaitCommEvent, ok, LastErrorIf(ok));
    watching_ = state == IoState::Pending;
    if (state != IoState::Complete) return state == IoState::Pending;
    // Ended at once. A driver may end every wait at once while bytes are queued (Wine on a
    // pseudo-terminal does): waiting again here would hold the thread in this loop for good.
    // After a character the next wait follows the notification, which reads the queue (posted
    // calls run in order); after none, a pause.
    if (mask_ & EV_RXCHAR) {
        dataArrived();
        QMetaObject::invokeMethod(
            this, [this] { rewatch(); }, Qt::QueuedConnection);
    } else {
        QTimer::singleShot(kRewatchPauseMs, this, [this] { rewatch(); });
    }
    return true;
}

void WinSerialDevice::rewatch() {
    if (!isOpen() || watching_) return;
    // Bytes that came since the last wait raise no event of their own.
    const int queued = bytesQueued();
    if (queued < 0 || !watchReceive()) {
        notifier_.setEnabled(false);
        reportFailure();
        return;
    }
    if (queued > 0) dataArrived();
}

void WinSerialDevice::receiveWatchDone() {
    if (!isOpen() || !watching_) return;
    DWORD unused = 0;
    const BOOL ok = GetOverlappedResult(port_, &watch_, &unused, FALSE);
    const std::uint32_t error = LastErrorIf(ok);
    const IoState state = CompletedIo(ok, error);
    if (state == IoState::Pending) return;
    watching_ = false;
    const ReceiveWaitEnd end = EndOfReceiveWait(state, error, mask_);
    // Bytes that came between two waits raise no event of their own; a queue that cannot be
    // read any more is a pulled adapter.
    const int queued = end == ReceiveWaitEnd::Failed ? -1 : bytesQueued();
    if (queued < 0 || !watchReceive()) {
        notifier_.setEnabled(false);
        reportFailure();
        return;
    }
    // dataArrived only posts the notification, so the watch is already running again.
    if (end == ReceiveWaitEnd::Received || queued > 0) dataArrived();
}

bool WinSerialDevice::finish(OverlappedCall call, OVERLAPPED& op, BOOL returned, DWORD* bytes) {
    IoState state = StartedIo(call, returned, LastErrorIf(returned));
    while (state == IoState::Pending) {
        const BOOL ok = GetOverlappedResult(port_, &op, bytes, TRUE);
        state = CompletedIo(ok, LastErrorIf(ok));
    }
    return state == IoState::Complete;
}

bool WinSerialDevice::write(const QByteArray& bytes) {
    if (!isOpen()) return false;
    OVERLAPPED op{};
    op.hEvent = NewEvent();
    if (!op.hEvent) return false;
    DWORD written = 0;
    const BOOL returned = WriteFile(port_, bytes.constData(), DWORD(bytes.size()), &written, &op);
    const bool ok = finish(OverlappedCall::WriteFile, op, returned, &written);
    CloseHandle(op.hEvent);
    if (!ok && EndOfFailed(CommCall::WriteFile) == FailureEnd::ErrorStateCleared) {
        DWORD errors = 0;
        ClearCommError(port_, &errors, nullptr);
    }
    return ok;
}

int WinSerialDevice::bytesQueued() {
    if (!isOpen()) return -1;
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(port_, &errors, &status)) return -1;
    return int(status.cbInQue);
}

std::optional<QByteArray> WinSerialDevice::read(int maxBytes) {
    if (!isOpen()) return std::nullopt;
    QByteArray out(std::max(maxBytes, 0), '\0');
    OVERLAPPED op{};
    op.hEvent = NewEvent();
    if (!op.hEvent) return std::nullopt;
    DWORD got = 0;
    const BOOL returned = ReadFile(port_, out.data(), DWORD(out.size()), &got, &op);
    const bool ok = finish(OverlappedCall::ReadFile, op, returned, &got);
    CloseHandle(op.hEvent);
    if (!ok) return std::nullopt;
    out.resize(qsizetype(got));
    return out;
}

void WinSerialDevice::purge() {
    if (isOpen()) PurgeComm(port_, PURGE_TXCLEAR | PURGE_RXCLEAR);
}

void WinSerialDevice::close() {
    if (!isOpen()) return;
    notifier_.setEnabled(false);
    queueCheck_.stop();
    // An empty mask ends the pending WaitCommEvent; where it does not, closing the handle
    // cancels it. Either way it has ended before its control block is used again.
    SetCommMask(port_, 0);
    const bool ended =
        !watching_ || WaitForSingleObject(watch_.hEvent, kCloseWaitMs) == WAIT_OBJECT_0;
    PurgeComm(port_, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
    CloseHandle(port_);
    port_ = INVALID_HANDLE_VALUE;
    if (!ended) WaitForSingleObject(watch_.hEvent, kCloseWaitMs);
    watching_ = false;
}

void WinSerialDevice::postNotification() {
    QMetaObject::invokeMethod(
        this, [this] { deliverNotification(); }, Qt::QueuedConnection);
}

} // namespace zx
