#include "platform/overlapped_io.h"

namespace zx {

IoState StartedIo(OverlappedCall call, bool returned, std::uint32_t lastError) {
    if (returned) return IoState::Complete;
    if (lastError == kErrorIoPending) return IoState::Pending;
    if (lastError == 0)
        return call == OverlappedCall::WriteFile ? IoState::Complete : IoState::Pending;
    return IoState::Failed;
}

IoState CompletedIo(bool returned, std::uint32_t lastError) {
    if (returned) return IoState::Complete;
    if (lastError == kErrorIoPending || lastError == kErrorIoIncomplete) return IoState::Pending;
    return IoState::Failed;
}

ReceiveWaitEnd EndOfReceiveWait(IoState state, std::uint32_t lastError, std::uint32_t mask) {
    if (state == IoState::Failed)
        return lastError == kErrorOperationAborted ? ReceiveWaitEnd::Recheck
                                                   : ReceiveWaitEnd::Failed;
    return (mask & kEvRxChar) != 0 ? ReceiveWaitEnd::Received : ReceiveWaitEnd::Recheck;
}

FailureEnd EndOfFailed(CommCall call) {
    switch (call) {
    case CommCall::SetCommTimeouts:
    case CommCall::SetupComm:
    case CommCall::SetCommMask:
        return FailureEnd::Ignored;
    case CommCall::CreateFile:
    case CommCall::GetCommState:
    case CommCall::SetCommState:
        return FailureEnd::PortNotOpened;
    case CommCall::WatchReceive:
        return FailureEnd::DtrRaised;
    case CommCall::ClearCommError:
        return FailureEnd::QueuesPurged;
    case CommCall::ReadFile:
        return FailureEnd::DeviceFailed;
    case CommCall::WriteFile:
        return FailureEnd::ErrorStateCleared;
    }
    return FailureEnd::DeviceFailed;
}

} // namespace zx
