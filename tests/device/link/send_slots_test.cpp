#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "link/frame.h"
#include "link/send_slots.h"
#include "link/serial_transport.h"
#include "model/parameter_model.h"
#include "window_doubles/test_platform.h"

namespace zx {
namespace {

constexpr std::int64_t kMs = 1000;

// The send cycle on the virtual line, with a stand-in for the connection's poll (Timer1) and
// its watchdog (intimer): a poll every 500 ms, the watchdog stopped by any received byte.
class SendSlotsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        p.clock.setHandler(TimerId::Timer1, [this] {
            if (!transport.LinkUp) return;
            transport.RxHexBuffer.clear();
            transport.SendBuffer = PollRequest();
            transport.WritePort();
            p.clock.start(TimerId::intimer);
        });
        p.clock.setHandler(TimerId::intimer, [this] {
            p.clock.stop(TimerId::intimer);
            watchdogTripped = true;
        });
        transport.setDispatcher([this] {
            p.clock.stop(TimerId::intimer);
            transport.RxHexBuffer.clear();
        });
    }

    // The state after the connect handshake: port open, scanning and polling from now.
    void Connect() {
        transport.SelectedPort = 3;
        ASSERT_TRUE(transport.OpenPort());
        transport.StartReader();
        p.clock.start(TimerId::sendTimer);
        p.clock.start(TimerId::Timer1);
    }

    struct Sent {
        std::int64_t atUs;
        QByteArray bytes;
    };
    // The parameter writes (type A1, 20 bytes) that went out, in order.
    std::vector<Sent> ParameterWrites() const {
        std::vector<Sent> out;
        for (const auto& w : p.serial.writes())
            if (w.bytes.size() == kParameterFrameSize && std::uint8_t(w.bytes[4]) == kTypePcWrite)
                out.push_back({w.atUs, w.bytes});
        return out;
    }
    int PollsSent() const {
        int n = 0;
        for (const auto& w : p.serial.writes())
            if (w.bytes == PollRequest()) ++n;
        return n;
    }

    TestPlatform p;
    SerialTransport transport{p.serial, p.ports, p.clock};
    ParameterModel model;
    SendSlots sendSlots{model, transport, p.clock};
    bool watchdogTripped = false;
};

int Channel(const QByteArray& frame) {
    return std::uint8_t(frame[6]);
}
int Block(const QByteArray& frame) {
    return std::uint8_t(frame[7]);
}
int PayloadByte(const QByteArray& frame, int i) {
    return std::uint8_t(frame[kHeaderSize + i]);
}

TEST(SendSlotTable, GroupsHaveTheirSlotNumbers) {
    struct Row {
        ChannelId ch;
        int settings, crossover, limiter;
    };
    const Row rows[] = {{0, 1, 2, 0},    {1, 3, 4, 0},    {2, 5, 6, 7}, {3, 8, 9, 10},
                        {4, 11, 12, 13}, {5, 14, 15, 16}, {6, 0, 0, 0}, {-1, 0, 0, 0}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.ch);
        EXPECT_EQ(SendSlots::ChannelSettingsSlot(r.ch), r.settings);
        EXPECT_EQ(SendSlots::CrossoverSlot(r.ch), r.crossover);
        EXPECT_EQ(SendSlots::LimiterSlot(r.ch), r.limiter);
    }
    EXPECT_EQ(SendSlots::EqBandSlot(0), 17);
    EXPECT_EQ(SendSlots::EqBandSlot(BandId(3, 0)), 41);
    EXPECT_EQ(SendSlots::EqBandSlot(47), 64);
    EXPECT_EQ(SendSlots::EqBandSlot(48), 0);
}

TEST_F(SendSlotsTest, ThreeGainChangesWithinTenMillisecondsSendOneFrameWithTheLastGain) {
    Connect();
    p.advance(1); // just past a scan, so the three edits fall before the next one
    for (int gain : {100, 110, 130}) {
        model.channels[0].gainIndex = std::uint8_t(gain);
        sendSlots.BuildChannelSettings(0);
        p.advance(2);
    }
    EXPECT_TRUE(sendSlots.IsPending(1));
    p.advance(2000);

    const auto sent = ParameterWrites();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(Channel(sent[0].bytes), 0);
    EXPECT_EQ(Block(sent[0].bytes), 0);
    EXPECT_EQ(PayloadByte(sent[0].bytes, 2), 130);
    EXPECT_EQ(sent[0].bytes, ChannelSettingsFrame(model, 0));
    // Picked at the 10 ms scan, written 200 ms later.
    EXPECT_EQ(sent[0].atUs, 210 * kMs);
    EXPECT_FALSE(sendSlots.AnyPending());
}

TEST_F(SendSlotsTest, InLeftSettingsOvertakeAPendingBandOfOutFour) {
    Connect();
    p.advance(1);
    model.bands[47].freqIndex = 200;
    sendSlots.BuildEqBand(47);
    p.advance(3);
    model.channels[0].mute = 1;
    sendSlots.BuildChannelSettings(0);
    p.advance(3000);

    const auto sent = ParameterWrites();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(Channel(sent[0].bytes), 0);
    EXPECT_EQ(Block(sent[0].bytes), 0);
    EXPECT_EQ(PayloadByte(sent[0].bytes, 0), 1);
    EXPECT_EQ(Channel(sent[1].bytes), 5);
    EXPECT_EQ(Block(sent[1].bytes), 10);
    EXPECT_EQ(PayloadByte(sent[1].bytes, 0), 200);
    const auto gap = sent[1].atUs - sent[0].atUs;
    EXPECT_GE(gap, 520 * kMs);
    EXPECT_LE(gap, 545 * kMs);
}

TEST_F(SendSlotsTest, ResetOfOutRightBandsDrainsInSlotOrderAboutHalfASecondApart) {
    Connect();
    p.advance(1);
    for (int band = 0; band < kBandsPerChannel; ++band) {
        model.bands[BandId(3, band)] = DefaultBand(band);
        sendSlots.BuildEqBand(BandId(3, band));
    }
    for (int slot = 41; slot <= 48; ++slot) EXPECT_TRUE(sendSlots.IsPending(slot)) << slot;
    p.advance(5000);

    const auto sent = ParameterWrites();
    ASSERT_EQ(sent.size(), 8u);
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Channel(sent[i].bytes), 3);
        EXPECT_EQ(Block(sent[i].bytes), 3 + i);
        EXPECT_EQ(sent[i].bytes, EqBandFrame(model, BandId(3, i)));
        if (i > 0) {
            const auto gap = sent[i].atUs - sent[i - 1].atUs;
            EXPECT_GE(gap, 520 * kMs);
            EXPECT_LE(gap, 545 * kMs);
        }
    }
    // About 4.2 s from the first pick until the last band has gone out.
    EXPECT_NEAR(double(sent[7].atUs - 10 * kMs), 4000.0 * kMs, 250.0 * kMs);
}

TEST_F(SendSlotsTest, ChangeAfterThePickIsInTheWrittenFrameAndTheSlotGoesOutAgain) {
    Connect();
    p.advance(1);
    model.channels[2].gainIndex = 100;
    sendSlots.BuildChannelSettings(2);
    p.advance(9); // the 10 ms scan picks slot 5
    ASSERT_EQ(sendSlots.CurrentSlot(), 5);
    p.advance(100);
    model.channels[2].gainIndex = 140;
    sendSlots.BuildChannelSettings(2);
    EXPECT_TRUE(sendSlots.IsPending(5));
    p.advance(2000);

    const auto sent = ParameterWrites();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].atUs, 210 * kMs);
    EXPECT_EQ(PayloadByte(sent[0].bytes, 2), 140);
    EXPECT_EQ(sent[1].bytes, sent[0].bytes);
    EXPECT_NEAR(double(sent[1].atUs - sent[0].atUs), 531.0 * kMs, 15.0 * kMs);
}

TEST_F(SendSlotsTest, WhileEditsKeepComingNoPollIsSentAndTheWatchdogStaysQuiet) {
    Connect();
    p.advance(1);
    // A gain slider dragged for five seconds, a step every 40 ms.
    for (int step = 0; step < 125; ++step) {
        model.channels[3].gainIndex = std::uint8_t(step % 241);
        sendSlots.BuildChannelSettings(3);
        p.advance(40);
    }
    EXPECT_EQ(PollsSent(), 0);
    EXPECT_FALSE(watchdogTripped);
    EXPECT_FALSE(p.clock.isActive(TimerId::intimer));

    // After the burst: the last pending frame, then the first poll 300 + 500 ms after the
    // end of the last write.
    p.advance(3000);
    const auto sent = ParameterWrites();
    ASSERT_GE(sent.size(), 9u);
    EXPECT_EQ(PayloadByte(sent.back().bytes, 2), 124);
    const auto& writes = p.serial.writes();
    const auto poll = std::find_if(writes.begin(), writes.end(),
                                   [](const auto& w) { return w.bytes == PollRequest(); });
    ASSERT_NE(poll, writes.end());
    const auto lastEnd = sent.back().atUs + VirtualSerialDevice::ByteTimeUs(kParameterFrameSize);
    EXPECT_NEAR(double(poll->atUs - lastEnd), 800.0 * kMs, 2.0 * kMs);
    EXPECT_FALSE(watchdogTripped);
}

TEST_F(SendSlotsTest, EditsWhileDisconnectedAreNeverSent) {
    model.channels[0].gainIndex = 90;
    sendSlots.BuildChannelSettings(0);
    model.bands[5].peakGainIndex = 150;
    model.bands[5].shelfGainIndex = 300;
    sendSlots.BuildEqBand(5);
    EXPECT_FALSE(sendSlots.AnyPending());
    EXPECT_TRUE(sendSlots.SlotFrame(1).isEmpty());
    // The gain halves follow the edit even without a link: the image writer reads them.
    EXPECT_EQ(model.bands[5].peakGainHalves, (ByteHalves{150, 0}));
    EXPECT_EQ(model.bands[5].shelfGainHalves, (ByteHalves{44, 1}));

    p.clock.start(TimerId::sendTimer);
    p.advance(1000);
    Connect();
    p.advance(2000);
    EXPECT_TRUE(ParameterWrites().empty());
}

TEST_F(SendSlotsTest, CycleTimersDoNothingWithoutTheLink) {
    Connect();
    p.advance(1);
    sendSlots.BuildLimiter(4);
    p.advance(9);
    ASSERT_EQ(sendSlots.CurrentSlot(), 13);
    transport.LinkUp = false;
    p.advance(1000);
    // Timer7 stays armed and keeps trying.
    EXPECT_TRUE(p.clock.isActive(TimerId::Timer7));
    EXPECT_TRUE(ParameterWrites().empty());
    transport.LinkUp = true;
    p.advance(200);
    const auto sent = ParameterWrites();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(Channel(sent[0].bytes), 4);
    EXPECT_EQ(Block(sent[0].bytes), 2);
}

TEST_F(SendSlotsTest, StopDropsAPickedSlotSoTheNextOpenDoesNotWriteIt) {
    Connect();
    p.advance(1);
    sendSlots.BuildCrossover(1);
    p.advance(109); // picked at 10 ms, 100 ms before its write
    ASSERT_EQ(sendSlots.CurrentSlot(), 4);

    // The connection's disconnect.
    p.clock.stop(TimerId::Timer1);
    p.clock.stop(TimerId::intimer);
    sendSlots.Stop();
    transport.ClosePort();
    EXPECT_EQ(sendSlots.CurrentSlot(), 0);
    for (TimerId t : {TimerId::sendTimer, TimerId::Timer7, TimerId::Timer4})
        EXPECT_FALSE(p.clock.isActive(t)) << TimerName(t);

    p.advance(500);
    ASSERT_TRUE(transport.OpenPort());
    p.advance(1000);
    EXPECT_TRUE(ParameterWrites().empty());
    EXPECT_EQ(PollsSent(), 0);
}

TEST_F(SendSlotsTest, StopWhileRestingKeepsPollingStopped) {
    Connect();
    p.advance(1);
    sendSlots.BuildChannelSettings(5);
    p.advance(250); // written at 210 ms, resting until about 531 ms
    ASSERT_TRUE(p.clock.isActive(TimerId::Timer4));
    sendSlots.Stop();
    p.advance(2000);
    EXPECT_FALSE(p.clock.isActive(TimerId::Timer1));
    EXPECT_FALSE(p.clock.isActive(TimerId::sendTimer));
    EXPECT_EQ(PollsSent(), 0);
    EXPECT_EQ(ParameterWrites().size(), 1u);
}

} // namespace
} // namespace zx
