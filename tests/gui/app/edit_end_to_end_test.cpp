#include "editing_fixture.h"

#include <QComboBox>
#include <QSlider>

#include "link/send_slots.h"
#include "model/entry_fields.h"
#include "model/preset_image.h"
#include "sim/sim_amplifier.h"
#include "ui/editor_window.h"
#include "ui/level_page.h"
#include "ui/limiters_page.h"
#include "ui/mixer_page.h"

using namespace zx;

namespace {

// The send slot a parameter write belongs to, from its channel and block bytes.
int SlotOfFrame(const QByteArray& f) {
    const ChannelId ch = static_cast<std::uint8_t>(f[6]);
    const int block = static_cast<std::uint8_t>(f[7]);
    if (block == 0) return SendSlots::ChannelSettingsSlot(ch);
    if (block == 1) return SendSlots::CrossoverSlot(ch);
    if (block == 2 && IsOutputChannel(ch)) return SendSlots::LimiterSlot(ch);
    return SendSlots::EqBandSlot(BandId(ch, block - (IsOutputChannel(ch) ? 3 : 2)));
}

} // namespace

// Every kind of edit, made through the controls: strips, sliders, lists, typed values, spin
// buttons, type lists, a reset and a drag.
class EditSequenceTest : public EditingTest {
  protected:
    void editEverything() {
        QTest::mouseClick(app.window.strips()->muteButton(2), Qt::LeftButton);
        QTest::mouseClick(app.window.strips()->polButton(1), Qt::LeftButton);
        app.editor.showPage(EditorPage::Gain);
        app.editor.gainPage()->slider(0)->setValue(60);
        app.editor.delayPage()->slider(4)->setValue(333);
        app.editor.mixerPage()->routeList(1)->setCurrentIndex(2);
        app.editor.limitersPage()->list(0, 0)->setCurrentIndex(10);
        openChannel(2);
        type(field(BandId(2, 2), ChannelPage::Frequency), "1234", true);
        spin(field(BandId(2, 1), ChannelPage::Gain), +1, 3);
        type(field(BandId(2, 0), ChannelPage::Q), "3", false);
        page(2)->bandType(3)->setCurrentIndex(2);
        page(2)->crossoverType(true)->setCurrentIndex(5);
        spin(page(2)->crossoverField(false), -1);
        drag(markerAt(BandId(2, 5)), {{600, 60}, {640, 70}});
        // Last: the reset keeps the windows disabled for 6 s.
        openChannel(1);
        tp.dialogs.answerYes(true);
        page(1)->resetButton()->click();
    }
};

TEST_F(EditSequenceTest, endToEnd_theDeviceEndsUpWithTheModelFrameByFrameInSlotOrder) {
    ParameterModel device;
    device.band(1, 4).freqIndex = 20; // so the reset has something to undo
    tp.sim.setLiveImage(ImageBytes(device));
    connectAndWait();
    const double editedAt = nowMs();
    editEverything();
    drain(30000);
    if (HasFatalFailure()) return;

    std::vector<std::pair<int, double>> writes; // slot, time
    for (const auto& f : tp.sim.frames())
        if (f.fromPc && f.bytes.size() == 20 && f.atMs >= editedAt)
            writes.emplace_back(SlotOfFrame(f.bytes), static_cast<double>(f.atMs));
    // Mute/pol/gain/delay/route of five channels, a limiter, two crossovers, bands.
    ASSERT_GE(writes.size(), 20u);
    for (std::size_t i = 1; i < writes.size(); ++i) {
        EXPECT_LT(writes[i - 1].first, writes[i].first) << i;
        EXPECT_NEAR(writes[i].second - writes[i - 1].second, 521, 25) << i;
    }

    ParameterModel onDevice;
    const QByteArray frame = SimAmplifier::BlockFrame(0, tp.sim.liveImage());
    ASSERT_TRUE(ReadImageText(QString::fromLatin1(frame.toHex().toUpper()), onDevice));
    onDevice.imageName = app.model.imageName;
    for (ChannelId ch = 0; ch < kChannelCount; ++ch)
        onDevice.channels[ch].bypass = app.model.channels[ch].bypass;
    EXPECT_EQ(onDevice, app.model);
    EXPECT_EQ(onDevice.band(1, 4).freqIndex, kDefaultBandFreqIndex[4]);
    EXPECT_EQ(onDevice.channels[4].delaySteps, 333);
}

TEST_F(EditSequenceTest, linkDown_editsChangeTheModelAndTheGraphAndSendNothing) {
    const ParameterModel before = app.model;
    editEverything();
    const QImage picture = app.graph.image();
    app.editor.hide();
    EXPECT_NE(app.model, before);
    EXPECT_NE(app.graph.image(), picture); // the overview of the edited channels
    EXPECT_EQ(app.model.band(2, 2).freqIndex, SnapFrequency(1234));
    EXPECT_NE(app.model.band(2, 5).freqIndex, kDefaultBandFreqIndex[5]); // dragged
    tp.advance(3000);
    EXPECT_TRUE(tp.serial.writes().empty());
    EXPECT_FALSE(app.link.sendSlots.AnyPending());
}

TEST_F(EditingTest, strips_muteClicksBeforeThePickCoalesceAndLaterOnesFollow) {
    struct Case {
        int gapMs; // between the two clicks
        std::vector<int> muteSent;
    };
    const Case cases[] = {{5, {0}}, {300, {1, 0}}};
    connectAndWait();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.gapMs);
        const std::size_t before = tp.sim.framesFromPc().size();
        QTest::mouseClick(app.window.strips()->muteButton(3), Qt::LeftButton);
        tp.advance(c.gapMs);
        QTest::mouseClick(app.window.strips()->muteButton(3), Qt::LeftButton);
        tp.advance(1500);
        std::vector<int> sent;
        const auto frames = tp.sim.framesFromPc();
        for (std::size_t i = before; i < frames.size(); ++i)
            if (frames[i].size() == 20) sent.push_back(static_cast<std::uint8_t>(frames[i][10]));
        EXPECT_EQ(sent, c.muteSent);
    }
}
