#include "app_fixture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTabWidget>

#include <functional>

#include "model/preset_image.h"
#include "ui/channel_page.h"
#include "ui/channel_strips.h"
#include "ui/level_page.h"
#include "ui/limiters_page.h"
#include "ui/mixer_page.h"
#include "ui/number_field.h"
#include "ui/preset_area.h"

using namespace zx;

namespace {

QColor ButtonColour(QPushButton* b) {
    return b->grab().toImage().pixelColor(4, 4);
}

// Everything the strips and the editor pages show, one entry per control.
QStringList Shown(Application& a) {
    QStringList s;
    for (ChannelId ch = 0; ch < kChannelCount; ++ch) {
        s << ButtonColour(a.window.strips()->muteButton(ch)).name()
          << a.window.strips()->polButton(ch)->text();
        for (LevelPage* p : {a.editor.gainPage(), a.editor.delayPage()})
            s << QString::number(p->slider(ch)->value()) << p->label(ch)->text();
        ChannelPage* page = a.editor.channelPage(ch);
        for (int row = 0; row < kBandsPerChannel; ++row) {
            for (const auto column : {ChannelPage::Frequency, ChannelPage::Gain, ChannelPage::Q}) {
                NumberField* f = page->bandField(row, column);
                s << f->text() + (f->edit()->isEnabled() ? "" : " (off)");
            }
            s << QString::number(page->bandType(row)->currentIndex());
        }
        for (const bool highPass : {true, false})
            s << page->crossoverField(highPass)->text()
              << QString::number(page->crossoverType(highPass)->currentIndex());
    }
    for (int o = 0; o < kOutputCount; ++o) {
        s << QString::number(a.editor.mixerPage()->routeList(o)->currentIndex());
        for (int l = 0; l < LimitersPage::kLists; ++l)
            s << QString::number(a.editor.limitersPage()->list(o, l)->currentIndex());
    }
    return s;
}

struct RefreshCase {
    const char* name;
    std::function<void(ParameterModel&)> device;
    std::function<void(Application&)> check;
};

} // namespace

TEST_F(AppTest, refresh_everyDisplayFollowsTheAppliedBlock) {
    const RefreshCase cases[] = {
        {"defaults", [](ParameterModel&) {},
         [](Application& a) {
             for (ChannelId ch = 0; ch < kChannelCount; ++ch) {
                 ChannelPage* p = a.editor.channelPage(ch);
                 EXPECT_EQ(p->bandField(2, ChannelPage::Frequency)->text(), "102.0");
                 EXPECT_EQ(p->bandField(5, ChannelPage::Frequency)->text(), "1000.0");
                 EXPECT_EQ(p->crossoverField(false)->text(), "20100.0");
             }
             EXPECT_EQ(a.window.presetArea()->activePresetField()->text(), "");
         }},
        {"delay beyond the slider",
         [](ParameterModel& m) {
             m.channels[2].delaySteps = 2000;
             RefreshHalves(m.channels[2]);
         },
         [](Application& a) {
             EXPECT_EQ(a.editor.delayPage()->label(2)->text(), "20.160 ms");
             EXPECT_EQ(a.editor.delayPage()->slider(2)->value(), 960);
         }},
        {"high shelf band 9",
         [](ParameterModel& m) {
             m.bands[9].type = 2;
             m.bands[9].shelfGainIndex = 150;
             RefreshHalves(m.bands[9]);
         },
         [](Application& a) {
             ChannelPage* p = a.editor.channelPage(1);
             EXPECT_EQ(p->bandField(1, ChannelPage::Gain)->text(), "6.0");
             EXPECT_EQ(p->bandField(1, ChannelPage::Q)->text(), "");
             EXPECT_FALSE(p->bandField(1, ChannelPage::Q)->edit()->isEnabled());
             EXPECT_EQ(p->bandType(1)->currentIndex(), 2);
         }},
        {"a name ends at its first zero",
         [](ParameterModel& m) { m.imageName = QStringLiteral("Hall") + QChar(0) + "Stage"; },
         [](Application& a) {
             EXPECT_EQ(a.window.presetArea()->activePresetField()->text(), "Hall");
         }},
        {"mute and polarity 1",
         [](ParameterModel& m) {
             m.channels[4].mute = 1;
             m.channels[4].polarity = 1;
         },
         [](Application& a) {
             EXPECT_EQ(ButtonColour(a.window.strips()->muteButton(4)), QColor(255, 0, 0));
             EXPECT_EQ(a.window.strips()->polButton(4)->text(), "Pol-");
         }},
        {"mute and polarity 2",
         [](ParameterModel& m) {
             m.channels[3].mute = 2;
             m.channels[3].polarity = 2;
         },
         [](Application& a) {
             EXPECT_EQ(ButtonColour(a.window.strips()->muteButton(3)), QColor(224, 224, 224));
             EXPECT_EQ(a.window.strips()->polButton(3)->text(), "Pol-");
         }},
        {"lists, sliders and crossover",
         [](ParameterModel& m) {
             m.outputs[1].routeSource = 3;
             m.outputs[2].limiterAttackIndex = 12;
             m.channels[0].gainIndex = 0;
             m.channels[5].lpfType = 7;
             m.channels[3].hpfFreqIndex = 57;
         },
         [](Application& a) {
             EXPECT_EQ(a.editor.mixerPage()->routeList(1)->currentIndex(), 3);
             EXPECT_EQ(a.editor.limitersPage()->list(2, 1)->currentIndex(), 12);
             EXPECT_EQ(a.editor.gainPage()->label(0)->text(), "-12.0 dB");
             EXPECT_EQ(a.editor.channelPage(5)->crossoverType(false)->currentIndex(), 7);
             EXPECT_EQ(a.editor.channelPage(3)->crossoverField(true)->text(), "102.0");
         }},
    };
    for (const RefreshCase& c : cases) {
        SCOPED_TRACE(c.name);
        ParameterModel device;
        c.device(device);
        tp.sim.setLiveImage(ImageBytes(device));
        app.editor.showChannel(1); // an open editor is closed by every block
        connectAndWait();
        EXPECT_FALSE(app.editor.isVisible());
        EXPECT_EQ(app.graph.currentBand(), 47);
        EXPECT_EQ(app.graph.currentCrossoverChannel(), 5);
        EXPECT_EQ(app.window.graphTitle()->text(), "show all");
        EXPECT_EQ(app.graph.penWidth(), 2);
        c.check(app);
        clickConnect(); // disconnect for the next case
    }
}

// Undoing and redoing shows the model in every control as an applied block would, and leaves
// the active preset name alone: after a store it names the stored preset, not the block.
TEST_F(AppTest, refresh_undoneAndRedoneEditsShowAsAnAppliedBlock_theActiveNameStays) {
    connectAndWait();
    app.window.setActivePresetName(QStringLiteral("Stage"));
    const QStringList applied = Shown(app);

    EditActions& a = app.actions;
    using F = EditActions::BandField;
    a.ToggleMute(1);
    a.TogglePolarity(3);
    a.SetGain(0, 40);
    a.SetDelay(4, 500);
    a.SetRoute(2, 1);
    a.SetLimiter(0, EditActions::Limiter::Release, 5);
    a.SetBandValue(BandId(2, 3), F::Gain, 150);
    a.SetBandValue(BandId(2, 3), F::Q, 9);
    a.SetBandType(BandId(0, 6), 1);
    a.SetCrossoverFrequency(3, false, 80);
    a.SetCrossoverType(3, true, 4);
    while (a.history().canUndo()) a.history().undo();
    EXPECT_EQ(Shown(app), applied);
    EXPECT_EQ(app.window.presetArea()->activePresetField()->text(), "Stage");

    while (a.history().canRedo()) a.history().redo();
    const QStringList redone = Shown(app);
    EXPECT_NE(redone, applied);
    const ParameterModel edited = app.model;
    tp.advance(20000); // every frame sent and acknowledged
    clickConnect();
    tp.sim.setLiveImage(ImageBytes(edited));
    connectAndWait();
    EXPECT_EQ(Shown(app), redone);
}
