#include "app_fixture.h"

#include <random>

#include "model/preset_image.h"

using namespace zx;

namespace {

// One random edit of one parameter group, stored in the model and handed to its builder as
// the editing controls do.
void RandomEdit(std::mt19937& rng, Application& app) {
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    ParameterModel& m = app.model;
    const ChannelId ch = pick(0, kChannelCount - 1);
    switch (pick(0, 3)) {
    case 0: {
        ChannelParams& c = m.channels[ch];
        c.mute = static_cast<std::uint8_t>(pick(0, 1));
        c.polarity = static_cast<std::uint8_t>(pick(0, 1));
        c.gainIndex = static_cast<std::uint8_t>(pick(0, 240));
        c.delaySteps = static_cast<std::uint16_t>(pick(0, 960));
        RefreshHalves(c); // the delay controls refresh the halves themselves
        if (IsOutputChannel(ch)) m.output(ch).routeSource = static_cast<std::uint8_t>(pick(0, 3));
        app.link.sendSlots.BuildChannelSettings(ch);
        break;
    }
    case 1: {
        ChannelParams& c = m.channels[ch];
        c.hpfFreqIndex = static_cast<std::uint8_t>(pick(0, 240));
        c.hpfType = static_cast<std::uint8_t>(pick(0, 11));
        c.lpfFreqIndex = static_cast<std::uint8_t>(pick(0, 240));
        c.lpfType = static_cast<std::uint8_t>(pick(0, 11));
        app.link.sendSlots.BuildCrossover(ch);
        break;
    }
    case 2: {
        if (!IsOutputChannel(ch)) return;
        OutputParams& o = m.output(ch);
        o.limiterThresholdIndex = static_cast<std::uint8_t>(pick(0, 60));
        o.limiterAttackIndex = static_cast<std::uint8_t>(pick(0, 106));
        o.limiterReleaseIndex = static_cast<std::uint8_t>(pick(0, 5));
        o.limiterRatioIndex = static_cast<std::uint8_t>(pick(0, 8));
        app.link.sendSlots.BuildLimiter(ch);
        break;
    }
    default: {
        const EqBandId id = BandId(ch, pick(0, kBandsPerChannel - 1));
        EqBandParams& b = m.bands[id];
        b.freqIndex = static_cast<std::uint8_t>(pick(0, 240));
        b.type = static_cast<std::uint8_t>(pick(0, 2));
        SetActiveGainIndex(b, static_cast<std::uint16_t>(pick(0, 180)));
        b.qIndex = static_cast<std::uint8_t>(pick(0, 179));
        app.link.sendSlots.BuildEqBand(id);
        break;
    }
    }
}

// The image with the bytes that edits never send (bypass and the name) blanked.
QByteArray Comparable(QByteArray image) {
    for (ChannelId ch = 0; ch < kChannelCount; ++ch) image[ChannelBlockOffset(ch) + 6] = 0;
    for (int i = kImageNameOffset; i < kImageNameOffset + kImageNameSize; ++i) image[i] = 0;
    return image;
}

} // namespace

TEST_F(AppTest, noDataLost_afterRandomEditsTheDeviceHoldsTheModel) {
    for (unsigned seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE(seed);
        TestPlatform local;
        Application a(local.platform());
        a.Start();
        a.window.connectButton()->click();
        ASSERT_TRUE(local.runUntil(
            [&] { return a.link.transport.LinkUp && local.clock.isActive(TimerId::Timer1); },
            3000));

        std::mt19937 rng(seed);
        for (int i = 0; i < 60; ++i) {
            RandomEdit(rng, a);
            local.advance(std::uniform_int_distribution<int>(0, 400)(rng));
        }
        ASSERT_TRUE(local.runUntil(
            [&] {
                return !a.link.sendSlots.AnyPending() && a.link.sendSlots.CurrentSlot() == 0 &&
                       !local.clock.isActive(TimerId::Timer4);
            },
            120000));
        local.advance(100);
        EXPECT_TRUE(a.link.transport.LinkUp);
        EXPECT_TRUE(local.dialogs.messages().isEmpty());
        EXPECT_EQ(Comparable(local.sim.liveImage()).toHex(),
                  Comparable(ImageBytes(a.model)).toHex());
    }
}

TEST_F(AppTest, pacing_firstPollFollows800msAfterTheLastFrameOfABurst) {
    connectAndWait();
    for (int i = 0; i < 5; ++i) {
        app.model.channels[2].gainIndex = static_cast<std::uint8_t>(100 + i);
        app.link.sendSlots.BuildChannelSettings(2);
        app.model.bands[20].freqIndex = static_cast<std::uint8_t>(10 + i);
        app.link.sendSlots.BuildEqBand(20);
        tp.advance(300);
    }
    ASSERT_TRUE(tp.runUntil([this] { return !app.link.sendSlots.AnyPending(); }, 10000));
    tp.advance(2000);
    const auto& writes = tp.serial.writes();
    std::int64_t lastFrameEnd = -1, firstPollAfter = -1;
    for (const auto& w : writes) {
        if (w.bytes.size() == kParameterFrameSize)
            lastFrameEnd = w.atUs + VirtualSerialDevice::ByteTimeUs(w.bytes.size());
        else if (lastFrameEnd >= 0 && firstPollAfter < 0 && w.bytes == PollRequest())
            firstPollAfter = w.atUs;
    }
    ASSERT_GT(firstPollAfter, 0);
    EXPECT_NEAR((firstPollAfter - lastFrameEnd) / 1000.0, 800.0, 1.0);
    EXPECT_TRUE(tp.dialogs.messages().isEmpty());
}
