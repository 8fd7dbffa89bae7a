#include <gtest/gtest.h>

#include <cstdint>

#include "platform/overlapped_io.h"

namespace zx {
namespace {

constexpr std::uint32_t kAccessDenied = 5, kOperationAborted = 995, kBadCommand = 22;

TEST(OverlappedIo, aStartingCallEndsCompletePendingOrFailed) {
    struct Row {
        OverlappedCall call;
        bool returned;
        std::uint32_t lastError;
        IoState state;
    };
    const Row table[] = {
        {OverlappedCall::ReadFile, true, 0, IoState::Complete},
        {OverlappedCall::ReadFile, false, kErrorIoPending, IoState::Pending},
        {OverlappedCall::ReadFile, false, 0, IoState::Pending}, // waited for, then counted
        {OverlappedCall::ReadFile, false, kAccessDenied, IoState::Failed},
        {OverlappedCall::ReadFile, false, kErrorIoIncomplete, IoState::Failed},
        {OverlappedCall::WriteFile, true, 0, IoState::Complete},
        {OverlappedCall::WriteFile, false, kErrorIoPending, IoState::Pending},
        {OverlappedCall::WriteFile, false, 0, IoState::Complete}, // went out
        {OverlappedCall::WriteFile, false, kBadCommand, IoState::Failed},
        {OverlappedCall::WaitCommEvent, true, 0, IoState::Complete},
        {OverlappedCall::WaitCommEvent, false, kErrorIoPending, IoState::Pending},
        {OverlappedCall::WaitCommEvent, false, kOperationAborted, IoState::Failed},
    };
    for (const Row& r : table)
        EXPECT_EQ(StartedIo(r.call, r.returned, r.lastError), r.state)
            << int(r.call) << " " << r.returned << " " << r.lastError;
}

TEST(OverlappedIo, aCompletionIsWaitedForUntilItComesOrFails) {
    struct Row {
        bool returned;
        std::uint32_t lastError;
        IoState state;
    };
    const Row table[] = {
        {true, 0, IoState::Complete},
        {false, kErrorIoPending, IoState::Pending},
        {false, kErrorIoIncomplete, IoState::Pending},
        {false, kOperationAborted, IoState::Failed}, // the port was closed or purged
        {false, kAccessDenied, IoState::Failed},     // the adapter was pulled
        {false, 0, IoState::Failed},
    };
    for (const Row& r : table)
        EXPECT_EQ(CompletedIo(r.returned, r.lastError), r.state)
            << r.returned << " " << r.lastError;
}

TEST(OverlappedIo, anAbortedReceiveWaitIsLookedAtAgainNotAFailure) {
    struct Row {
        IoState state;
        std::uint32_t lastError, mask;
        ReceiveWaitEnd end;
    };
    const Row table[] = {
        {IoState::Complete, 0, kEvRxChar, ReceiveWaitEnd::Received},
        {IoState::Complete, 0, kEvRxChar | 4, ReceiveWaitEnd::Received},
        {IoState::Complete, 0, 0, ReceiveWaitEnd::Recheck}, // the mask was emptied
        {IoState::Failed, kErrorOperationAborted, 0, ReceiveWaitEnd::Recheck},
        {IoState::Failed, kAccessDenied, 0, ReceiveWaitEnd::Failed},
        {IoState::Failed, kBadCommand, kEvRxChar, ReceiveWaitEnd::Failed},
    };
    for (const Row& r : table)
        EXPECT_EQ(EndOfReceiveWait(r.state, r.lastError, r.mask), r.end)
            << int(r.state) << " " << r.lastError << " " << r.mask;
}

TEST(OverlappedIo, whatAFailedCallEndsIn) {
    const std::pair<CommCall, FailureEnd> table[] = {
        {CommCall::CreateFile, FailureEnd::PortNotOpened},
        {CommCall::SetCommTimeouts, FailureEnd::Ignored},
        {CommCall::SetupComm, FailureEnd::Ignored},
        {CommCall::GetCommState, FailureEnd::PortNotOpened},
        {CommCall::SetCommState, FailureEnd::PortNotOpened},
        {CommCall::SetCommMask, FailureEnd::Ignored},
        {CommCall::WatchReceive, FailureEnd::DtrRaised},
        {CommCall::ClearCommError, FailureEnd::QueuesPurged},
        {CommCall::ReadFile, FailureEnd::DeviceFailed},
        {CommCall::WriteFile, FailureEnd::ErrorStateCleared},
    };
    for (const auto& [call, end] : table) EXPECT_EQ(EndOfFailed(call), end) << int(call);
}

TEST(OverlappedIo, theLineSettingsLeaveEveryOtherFieldAsTheDriverReportedIt) {
    struct Dcb {
        std::uint32_t BaudRate = 115200;
        std::uint8_t ByteSize = 7, Parity = 2, StopBits = 2;
        std::uint32_t fOutxCtsFlow = 1, fDtrControl = 2, fRtsControl = 3;
    };
    Dcb dcb;
    SetLineSettings(dcb);
    EXPECT_EQ(dcb.BaudRate, 9600u);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, 0);
    EXPECT_EQ(dcb.StopBits, 0);
    EXPECT_EQ(dcb.fOutxCtsFlow, 1u);
    EXPECT_EQ(dcb.fDtrControl, 2u);
    EXPECT_EQ(dcb.fRtsControl, 3u);
}

} // namespace
} // namespace zx
