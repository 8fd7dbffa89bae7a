#pragma once

#include <cstdint>

namespace zx {

// The rules around the Windows serial calls on a port opened for overlapped I/O, kept free of
// Windows so that they hold (and are tested) on every system.

// What became of an operation.
enum class IoState {
    Complete, // finished: its result is there
    Pending,  // still going on: wait for its completion
    Failed,   // over, without a result
};

// Last-error values the rules look at (winerror.h).
inline constexpr std::uint32_t kErrorOperationAborted = 995;
inline constexpr std::uint32_t kEvRxChar = 1;
inline constexpr std::uint32_t kErrorIoIncomplete = 996;
inline constexpr std::uint32_t kErrorIoPending = 997;

// The calls that start an operation.
enum class OverlappedCall { ReadFile, WriteFile, WaitCommEvent };

// The state after a starting call returned (`returned`) with the thread's last error. A read
// that fails without an error is waited for like a pending one; a write that does so has
// gone out.
IoState StartedIo(OverlappedCall call, bool returned, std::uint32_t lastError);

// The state after GetOverlappedResult returned: a completion that has not come yet is still
// pending, any other error ends the operation.
IoState CompletedIo(bool returned, std::uint32_t lastError);

// How a finished wait for a received character (WaitCommEvent, EV_RXCHAR = 1) ends.
enum class ReceiveWaitEnd {
    Received, // a character came: notify
    Recheck,  // no event, or the wait was aborted: look at the queue, then wait again
    Failed,   // the port failed (a pulled adapter)
};
// An aborted wait is no failure of the port: the driver may end a wait for reasons of its
// own (Wine ends every wait on a pseudo-terminal so after a few milliseconds), and a byte
// that came meanwhile is still in the queue.
ReceiveWaitEnd EndOfReceiveWait(IoState state, std::uint32_t lastError, std::uint32_t mask);

// The calls whose failure changes what happens next.
enum class CommCall {
    CreateFile,
    SetCommTimeouts,
    SetupComm,
    GetCommState,
    SetCommState,
    SetCommMask,
    WatchReceive, // the event and the first WaitCommEvent of the receive watch
    ClearCommError,
    ReadFile,
    WriteFile,
};

// What a failed call ends in.
enum class FailureEnd {
    Ignored,          // the open goes on: time-outs, queue sizes and the mask are best efforts
    PortNotOpened,    // the port is closed again and the open reports false
    DtrRaised,        // nothing will arrive: DTR is raised and the handshake time-out ends it
    QueuesPurged,     // nothing is read this time; both driver queues are emptied
    DeviceFailed,     // the call reports failure and the link above tears down
    ErrorStateCleared // as DeviceFailed, after ClearCommError cleared the port's error state
};
FailureEnd EndOfFailed(CommCall call);

// 9600 baud, 8 data bits, no parity (NOPARITY, 0), one stop bit (ONESTOPBIT, 0). Every other
// field, flow control and the DTR and RTS settings among them, stays as the driver reported.
template <class Dcb> void SetLineSettings(Dcb& dcb) {
    dcb.BaudRate = 9600;
    dcb.ByteSize = 8;
    dcb.Parity = 0;
    dcb.StopBits = 0;
}

} // namespace zx
