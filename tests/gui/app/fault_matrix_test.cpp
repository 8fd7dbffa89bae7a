#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "link/frame.h"
#include "presets/device_presets.h"
#include "user_actions.h"

using namespace zx;

namespace {

const QString kOvertime = QStringLiteral("overtime,please try again.");
const QString kInterrupt = QStringLiteral("interrupt.");

// What a fault breaks: which kinds of answer the program never gets in full.
enum Breaks : unsigned {
    kNone = 0,
    kPolls = 1,           // no byte at all answers a poll
    kHandshake = 2,       // the connect's block or the names
    kRecall = 4,          // the block answering a recall
    kSave = 8,            // the block a file save asks for
    kStore = 16,          // the acknowledgement of a store frame
    kPollsAfterLoad = 32, // every poll once a file's block has been written
    kLoad = 64,           // both the acknowledgement and the read-back of a file's block
    kAll = kPolls | kHandshake | kRecall | kSave | kStore | kLoad,
};

enum class Fault {
    Silent,
    SilentLater,
    Garbage,
    NoNames,
    NoAcks,
    RecallsIgnored,
    BadChecksum,
    TruncatedBlock,
    SlowBytes,
    Unplugged,
    OneDamagedBlock,
    StoreFrameLost,
    BlockWriteLost,
    CableOffAtBlockWrite,
    PollJustBefore,
};
enum class Phase { Connecting, Idle, EditBurst, Recall, DeviceStore, PcStore, PcLoad, Reset };

struct FaultRule {
    Fault fault;
    const char* name;
    unsigned breaks;
};
// Falling silent 3 s into a phase lets every phase's own exchange through; only polling fails.
// Bytes 15 ms apart bring a block in about 9 s: too late for a connect or a file save, in time
// for a recall.
const FaultRule kFaults[] = {
    {Fault::Silent, "silent", kAll},
    {Fault::SilentLater, "silent from a moment on", kPolls},
    {Fault::Garbage, "garbage", kHandshake | kRecall | kSave | kStore | kLoad},
    {Fault::NoNames, "block without names", kHandshake},
    {Fault::NoAcks, "no acknowledgements", kStore},
    {Fault::RecallsIgnored, "recalls ignored", kRecall},
    {Fault::BadChecksum, "block with a wrong checksum", kHandshake | kRecall | kSave},
    {Fault::TruncatedBlock, "truncated block", kHandshake | kRecall | kSave},
    {Fault::SlowBytes, "single bytes with long gaps", kHandshake | kSave},
    {Fault::Unplugged, "adapter pulled", kAll},
    // The block asked for once more arrives whole.
    {Fault::OneDamagedBlock, "one block damaged after its checksum", kNone},
    {Fault::StoreFrameLost, "store frame lost", kStore},
    // Without an acknowledgement the window reads the block back, as the tool does.
    {Fault::BlockWriteLost, "block write lost", kLoad},
    {Fault::CableOffAtBlockWrite, "cable off as a block write starts", kLoad | kPollsAfterLoad},
    // The phase's action comes just after a poll: the poll's answer and the action's own
    // reply arrive in one read.
    {Fault::PollJustBefore, "a poll just before", kNone},
};
constexpr int kSilentAfterMs = 3000;
constexpr int kByteGapMs = 15;

struct PhaseRule {
    Phase phase;
    const char* name;
    unsigned waitsFor; // the answer the phase's operation needs besides polling
};
const PhaseRule kPhases[] = {
    {Phase::Connecting, "connecting", kHandshake},
    {Phase::Idle, "idle", kNone},
    {Phase::EditBurst, "edit burst", kNone},
    {Phase::Recall, "recall", kRecall},
    {Phase::DeviceStore, "device store", kRecall | kStore},
    {Phase::PcStore, "PC store", kSave},
    {Phase::PcLoad, "PC load", kLoad},
    {Phase::Reset, "reset", kNone},
};

// The defined end: the messages in order, and whether the link is still up.
struct End {
    QStringList messages;
    bool connected;
};
End ExpectedEnd(const FaultRule& f, const PhaseRule& p) {
    if (p.phase == Phase::Connecting && (f.breaks & kHandshake)) return {{kOvertime}, false};
    End end{{}, true};
    // A store without its acknowledgement ends before its recall: one message either way.
    if (p.waitsFor & f.breaks & (kRecall | kSave | kStore | kLoad))
        end.messages << PresetOvertimeText();
    const bool pollsFail =
        (f.breaks & kPolls) || ((f.breaks & kPollsAfterLoad) && p.phase == Phase::PcLoad);
    if (pollsFail) end = {end.messages << kInterrupt, false};
    return end;
}

void SwitchOn(Fault f, TestPlatform& tp) {
    SimFaults& s = tp.sim.faults;
    switch (f) {
    case Fault::Silent:
        s.silent = true;
        break;
    case Fault::SilentLater:
        s.silentFromMs = tp.clock.nowUs() / 1000 + kSilentAfterMs;
        break;
    case Fault::Garbage:
        s.garbage = true;
        break;
    case Fault::NoNames:
        s.noNames = true;
        break;
    case Fault::NoAcks:
        s.noAcks = true;
        break;
    case Fault::RecallsIgnored:
        s.ignoreRecalls = true;
        break;
    case Fault::BadChecksum:
        s.badBlockChecksum = true;
        break;
    case Fault::TruncatedBlock:
        s.truncatedBlock = true;
        break;
    case Fault::SlowBytes:
        s.byteGapMs = kByteGapMs;
        break;
    case Fault::Unplugged:
        tp.serial.unplug();
        break;
    case Fault::OneDamagedBlock:
        s.damagedBlocks = 1;
        break;
    case Fault::StoreFrameLost:
        s.storeFrameLost = true;
        break;
    case Fault::BlockWriteLost:
        s.blockWriteLost = true;
        break;
    case Fault::CableOffAtBlockWrite:
        s.cableOffAtBlockWrite = true;
        break;
    case Fault::PollJustBefore:
        if (const std::int64_t due = tp.clock.dueUs(TimerId::Timer1); due >= 0)
            tp.advance(int((due - tp.clock.nowUs()) / 1000) + 1);
        break;
    }
}

void RunPhase(Phase phase, UserActions& user) {
    switch (phase) {
    case Phase::Connecting:
        user.app.window.connectButton()->click();
        break;
    case Phase::Idle:
        break;
    case Phase::EditBurst:
        for (int i = 0; i < 12; ++i) {
            user.toggleMuteAndPolarity(i % kChannelCount);
            user.tp.advance(120);
        }
        break;
    case Phase::Recall:
        user.recall();
        break;
    case Phase::DeviceStore:
        user.deviceStore(QStringLiteral("Stage left"));
        break;
    case Phase::PcStore:
        user.pcStore(1);
        break;
    case Phase::PcLoad:
        user.pcLoad(2);
        break;
    case Phase::Reset:
        user.resetEq(3);
        break;
    }
}

int FailedChecks() {
    const ::testing::TestResult* r =
        ::testing::UnitTest::GetInstance()->current_test_info()->result();
    int n = 0;
    for (int i = 0; i < r->total_part_count(); ++i) n += r->GetTestPartResult(i).failed();
    return n;
}

// Long enough for the slowest defined end: a recall's 13 s time-out, then the poll watchdog.
constexpr int kSettleMs = 25000;

} // namespace

TEST(FaultMatrix, everyFaultInEveryPhaseEndsInItsDefinedState) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    int passed = 0, total = 0;
    for (const FaultRule& f : kFaults) {
        for (const PhaseRule& p : kPhases) {
            ++total;
            SCOPED_TRACE(std::string(f.name) + " while " + p.name);
            const int failedBefore = FailedChecks();
            TestPlatform tp;
            Application app(tp.platform());
            app.Start();
            UserActions user{tp, app, dir.path()};
            ParameterModel fileModel;
            fileModel.channels[1].gainIndex = 77;
            user.writeFile(2, fileModel);

            if (p.phase == Phase::Connecting) {
                // The device misbehaves from the first request; the adapter goes once it is open.
                if (f.fault != Fault::Unplugged) SwitchOn(f.fault, tp);
                RunPhase(p.phase, user);
                if (f.fault == Fault::Unplugged) SwitchOn(f.fault, tp);
            } else {
                EXPECT_TRUE(user.connectAndWait());
                SwitchOn(f.fault, tp);
                RunPhase(p.phase, user);
            }
            tp.advance(kSettleMs);

            const End want = ExpectedEnd(f, p);
            EXPECT_EQ(tp.dialogs.messages().join(" | ").toStdString(),
                      want.messages.join(" | ").toStdString());
            EXPECT_TRUE(user.atRest());
            EXPECT_TRUE(user.panelsEnabled());
            EXPECT_TRUE(tp.clock.isActive(TimerId::TimerONOFF));
            EXPECT_LT(app.link.transport.RxHexBuffer.size(), 1500);
            // The screen shows a file's settings only when the device has taken them.
            if (p.phase == Phase::PcLoad) {
                EXPECT_EQ(app.model.channels[1].gainIndex == 77, !(f.breaks & kLoad));
            }
            if (want.connected) {
                EXPECT_TRUE(user.connected());
                EXPECT_TRUE(tp.clock.isActive(TimerId::sendTimer));
                EXPECT_FALSE(app.window.portSelector()->isEnabled());
            } else {
                EXPECT_FALSE(app.link.transport.LinkUp);
                EXPECT_FALSE(user.captionShowsConnect());
                for (TimerId t : {TimerId::Timer1, TimerId::intimer, TimerId::sendTimer,
                                  TimerId::Timer7, TimerId::Timer4})
                    EXPECT_FALSE(tp.clock.isActive(t)) << TimerName(t);
                EXPECT_TRUE(tp.clock.isActive(TimerId::refurbish));
                EXPECT_TRUE(app.window.portSelector()->isEnabled());
            }

            // The next connect, to a healthy device, succeeds and shows the device's settings.
            tp.sim.faults = {};
            tp.serial.plugIn();
            tp.advance(15000); // a slow reply still on its way has drained
            tp.dialogs.clear();
            EXPECT_TRUE(user.connectAndWait());
            tp.advance(1000);
            EXPECT_TRUE(tp.dialogs.messages().isEmpty());
            EXPECT_EQ(ComparableImage(ImageBytes(app.model)).toHex(),
                      ComparableImage(tp.sim.liveImage()).toHex());

            if (FailedChecks() == failedBefore) ++passed;
        }
    }
    std::printf("fault matrix: %d of %d cells passed\n", passed, total);
}
