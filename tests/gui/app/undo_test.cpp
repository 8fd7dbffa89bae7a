#include "editing_fixture.h"

#include <QSlider>
#include <QWheelEvent>

#include <random>

#include "model/entry_fields.h"
#include "model/preset_image.h"
#include "sim/sim_amplifier.h"
#include "ui/editor_window.h"
#include "ui/level_page.h"

using namespace zx;

class UndoTest : public EditingTest {
  protected:
    // The device's settings, with the fields it does not keep taken from the program.
    ParameterModel onDevice() const {
        ParameterModel m;
        const QByteArray frame = SimAmplifier::BlockFrame(0, tp.sim.liveImage());
        EXPECT_TRUE(ReadImageText(QString::fromLatin1(frame.toHex().toUpper()), m));
        m.imageName = app.model.imageName;
        for (ChannelId ch = 0; ch < kChannelCount; ++ch)
            m.channels[ch].bypass = app.model.channels[ch].bypass;
        return m;
    }
    void randomEdit(std::mt19937& rng) {
        const auto pick = [&rng](int n) {
            return static_cast<int>(rng() % static_cast<unsigned>(n));
        };
        EditActions& a = app.actions;
        const ChannelId ch = pick(5);
        const EqBandId band = BandId(ch, pick(kBandsPerChannel));
        using F = EditActions::BandField;
        switch (pick(12)) {
        case 0:
            return a.ToggleMute(ch);
        case 1:
            return a.TogglePolarity(ch);
        case 2: // one slider movement
            a.BeginGesture();
            for (int i = 0; i < 4; ++i) a.SetGain(ch, pick(kMaxChannelGainIndex + 1));
            return a.EndGesture();
        case 3:
            return a.SetDelay(ch, pick(kMaxDelaySteps + 1));
        case 4:
            return a.SetRoute(pick(3), pick(kRouteSourceCount));
        case 5:
            return a.SetLimiter(pick(3), EditActions::Limiter::Threshold, pick(20));
        case 6:
            return a.SetBandValue(band, static_cast<F>(pick(3)), pick(180));
        case 7:
            a.StepBand(band, F::Q, pick(2) ? 1 : -1);
            return;
        case 8:
            return a.SetBandType(band, pick(3));
        case 9:
            return pick(2) ? a.SetCrossoverFrequency(ch, pick(2), pick(241))
                           : a.SetCrossoverType(ch, pick(2), pick(12));
        case 10: {
            openChannel(ch);
            const QPoint m = markerAt(band);
            if (a.DragPress(ch, m.x(), m.y())) {
                for (int i = 0; i < 3; ++i) a.DragMove(100 + pick(800), 35 + pick(160));
            }
            return a.DragRelease();
        }
        default:
            return a.ResetChannelEq(ch);
        }
    }
};

TEST_F(UndoTest, randomEdits_undoAllRestoresModelAndDevice_redoAllRestoresTheEdits) {
    connectAndWait();
    drain();
    for (const unsigned seed : {1u, 7u, 42u}) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        const ParameterModel before = app.model;
        const int firstCommand = app.actions.history().index();
        for (int i = 0; i < 40; ++i) randomEdit(rng);
        drain();
        const ParameterModel after = app.model;
        ASSERT_NE(after, before);
        EXPECT_EQ(onDevice(), after);

        while (app.actions.history().index() > firstCommand) app.actions.history().undo();
        EXPECT_EQ(app.model, before);
        drain();
        EXPECT_EQ(onDevice(), before);

        while (app.actions.history().canRedo()) app.actions.history().redo();
        EXPECT_EQ(app.model, after);
        drain();
        EXPECT_EQ(onDevice(), after);
    }
}

TEST_F(UndoTest, oneUserActionIsOneStep_dragSliderMovementAndReset) {
    openChannel(2);
    const EqBandId band = BandId(2, 5);
    const EqBandParams start = app.model.bands[band];
    drag(markerAt(band), {{600, 60}, {640, 70}, {700, 90}});
    EXPECT_EQ(app.actions.history().count(), 1);

    QSlider* s = app.editor.gainPage()->slider(0);
    app.editor.showPage(EditorPage::Gain);
    emit s->sliderPressed();
    for (int v : {100, 90, 80}) s->setValue(v);
    emit s->sliderReleased();
    s->setValue(81); // a keyboard step after the release
    EXPECT_EQ(app.actions.history().count(), 3);

    app.actions.history().undo();
    app.actions.history().undo();
    EXPECT_EQ(app.model.channels[0].gainIndex, 120);
    EXPECT_EQ(s->value(), 120); // the slider shows the value put back
    app.actions.history().undo();
    EXPECT_EQ(app.model.bands[band], start);
    EXPECT_EQ(field(band, ChannelPage::Frequency)->text(),
              FieldText(FieldTable::Frequency, start.freqIndex));
}

TEST_F(UndoTest, keys_ctrlZInMainWindowAndTypingUndoneFirstInsideAField) {
    QTest::mouseClick(app.window.strips()->muteButton(3), Qt::LeftButton);
    ASSERT_EQ(app.model.channels[3].mute, 1);
    QApplication::setActiveWindow(&app.window);
    QTest::keyClick(&app.window, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(app.model.channels[3].mute, 0);
    QTest::keyClick(&app.window, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(app.model.channels[3].mute, 1);

    openChannel(1);
    NumberField* f = field(BandId(1, 2), ChannelPage::Frequency);
    type(f, "1234", true); // committed: one edit
    const int stored = app.model.band(1, 2).freqIndex;
    ASSERT_EQ(stored, SnapFrequency(1234));
    QTest::keyClicks(f->edit(), "5"); // typing, not yet committed
    QTest::keyClick(f->edit(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(f->text(), FieldText(FieldTable::Frequency, stored)); // the typing went
    EXPECT_EQ(app.model.band(1, 2).freqIndex, stored);
    QTest::keyClick(f->edit(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(app.model.band(1, 2).freqIndex, kDefaultBandFreqIndex[2]); // then the edit
    EXPECT_EQ(f->text(), FieldText(FieldTable::Frequency, kDefaultBandFreqIndex[2]));
    f->edit()->clearFocus(); // leaving stores nothing new
    EXPECT_TRUE(app.actions.history().canRedo());
    tp.advance(2000); // the link is down: nothing goes out
    EXPECT_TRUE(tp.serial.writes().empty());
}

TEST_F(UndoTest, undoWithTheEditorClosed_graphShowsTheOverview_notTheBandsChannel) {
    openChannel(2);
    type(field(BandId(2, 3), ChannelPage::Gain), "6", true);
    app.editor.hide();
    QApplication::setActiveWindow(&app.window);
    QTest::keyClick(&app.window, Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(ActiveGainIndex(app.model.band(2, 3)), 120);
    const QImage shown = app.graph.image();
    app.graph.RedrawOverview(app.model);
    EXPECT_EQ(shown, app.graph.image());
}

TEST_F(UndoTest, keysWaitWhileTheWindowsAreDisabled) {
    QTest::mouseClick(app.window.strips()->muteButton(0), Qt::LeftButton);
    QApplication::setActiveWindow(&app.window);
    app.window.setMainPanelsEnabled(false); // as while connecting
    QTest::keyClick(&app.window, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(app.model.channels[0].mute, 1);
    app.window.setMainPanelsEnabled(true);
    QTest::keyClick(&app.window, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(app.model.channels[0].mute, 0);
}

TEST_F(UndoTest, connecting_clearsTheHistory) {
    QTest::mouseClick(app.window.strips()->polButton(0), Qt::LeftButton);
    ASSERT_TRUE(app.actions.history().canUndo());
    connectAndWait();
    EXPECT_FALSE(app.actions.history().canUndo());
}

namespace {

void Wheel(GraphView* v, QPoint at, int angle) {
    QWheelEvent e(at, v->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(v, &e);
}

} // namespace

TEST_F(UndoTest, wheelOverMarker_stepsPeqQLikeTheSpinButtons_shelfAndEmptySpotDoNothing) {
    connectAndWait();
    drain();
    openChannel(2);
    GraphView* v = app.window.graphView();
    const EqBandId peq = BandId(2, 4);
    const EqBandId shelf = BandId(2, 6);
    app.actions.SetBandType(shelf, 1);
    drain();
    struct Case {
        EqBandId band;
        int angle;
        int qAfter;
    };
    const int q0 = app.model.bands[peq].qIndex;
    const Case cases[] = {{peq, 120, q0 + 1},
                          {peq, 60, q0 + 1},
                          {peq, 60, q0 + 2},
                          {peq, -360, q0 - 1},
                          {shelf, 120, app.model.bands[shelf].qIndex}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.angle);
        Wheel(v, markerAt(c.band), c.angle);
        EXPECT_EQ(app.model.bands[c.band].qIndex, c.qAfter);
    }
    EXPECT_EQ(field(peq, ChannelPage::Q)->text(), FieldText(FieldTable::Q, q0 - 1));
    EXPECT_TRUE(app.link.sendSlots.IsPending(SendSlots::EqBandSlot(peq)));
    EXPECT_FALSE(app.link.sendSlots.IsPending(SendSlots::EqBandSlot(shelf)));
    drain();
    EXPECT_EQ(onDevice().bands[peq].qIndex, q0 - 1);

    // At the top of the table the step does nothing, as the up button does.
    app.actions.SetBandValue(peq, EditActions::BandField::Q, 179);
    Wheel(v, markerAt(peq), 120);
    EXPECT_EQ(app.model.bands[peq].qIndex, 179);
    Wheel(v, QPoint(5, 5), -120); // away from every marker
    EXPECT_EQ(app.model.bands[peq].qIndex, 179);
}

TEST_F(UndoTest, markerHint_namesTheBandInTheFieldFormats) {
    GraphView* v = app.window.graphView();
    const EqBandId band = BandId(3, 1);
    app.actions.SetBandValue(band, EditActions::BandField::Gain, 100);
    app.actions.SetBandType(BandId(3, 7), 2);
    EXPECT_TRUE(v->hintAt(markerAt(band)).isEmpty()); // the editor is hidden
    openChannel(3);
    EXPECT_EQ(v->hintAt(markerAt(band)), QStringLiteral("Band 2  PEQ\n51.1 Hz\n-4.0 dB\nQ 1.0"));
    EXPECT_EQ(v->hintAt(markerAt(BandId(3, 7))),
              QStringLiteral("Band 8  HS 6dB\n2997.0 Hz\n0.0 dB"));
    EXPECT_TRUE(v->hintAt(QPoint(5, 5)).isEmpty());
}
