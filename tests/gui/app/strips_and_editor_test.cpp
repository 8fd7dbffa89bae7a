#include "editing_fixture.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QScreen>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>

#include "ui/editor_window.h"
#include "ui/level_page.h"
#include "ui/mixer_page.h"
#include "ui/preset_area.h"
#include "ui/window_placement.h"

using namespace zx;

namespace {

QColor ButtonColour(QPushButton* b) {
    return b->grab().toImage().pixelColor(4, 4);
}

QPushButton* StripButton(MainWindow& w, const QString& name) {
    for (QPushButton* b : w.findChildren<QPushButton*>())
        if (b->accessibleName() == name) return b;
    ADD_FAILURE() << "no button " << name.toStdString();
    return nullptr;
}

} // namespace

TEST_F(EditingTest, strips_buttonsSitWhereTheyShouldAndOpenTheirPages) {
    struct Case {
        const char* button;
        QRect geometry;
        const char* page;
        const char* title; // after the click
    };
    const Case cases[] = {
        {"In left open EQ", {290, 21, 40, 22}, "In left", "In left"},
        {"Out right open crossover", {760, 61, 50, 22}, "Out right", "Out right"},
        {"In right open gain", {194, 101, 40, 22}, "Gain", "show all"},
        {"Out sub open delay", {664, 101, 50, 22}, " Delay ", "show all"},
        {"Out left open mixer", {492, 21, 40, 22}, "Mixer", "show all"},
        {"Out left open EQ", {717, 21, 40, 22}, "Out left", "Out left"},
        {"Out right open limiter", {813, 61, 50, 22}, "Limiters", "Out left"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        QPushButton* b = StripButton(app.window, QString::fromLatin1(c.button));
        ASSERT_TRUE(b);
        EXPECT_EQ(b->geometry(), c.geometry);
        QTest::mouseClick(b, Qt::LeftButton);
        EXPECT_TRUE(app.editor.isVisible());
        QTabWidget* tabs = app.editor.pages();
        EXPECT_EQ(tabs->tabText(tabs->currentIndex()), QString::fromLatin1(c.page));
        EXPECT_EQ(app.window.graphTitle()->text(), QString::fromLatin1(c.title));
        EXPECT_FALSE(app.window.legendCheck(0)->isEnabled());
        EXPECT_EQ(app.graph.penWidth(), 1);
    }
}

TEST_F(EditingTest, strips_muteAndPolChangeTheModelAndTheButtons) {
    ChannelStrips* s = app.window.strips();
    EXPECT_EQ(ButtonColour(s->muteButton(2)), QColor(224, 224, 224));
    QTest::mouseClick(s->muteButton(2), Qt::LeftButton);
    EXPECT_EQ(app.model.channels[2].mute, 1);
    EXPECT_EQ(ButtonColour(s->muteButton(2)), QColor(255, 0, 0));
    QTest::mouseClick(s->muteButton(2), Qt::LeftButton);
    EXPECT_EQ(app.model.channels[2].mute, 0);
    EXPECT_EQ(ButtonColour(s->muteButton(2)), QColor(224, 224, 224));

    app.model.channels[1].polarity = 1;
    QTest::mouseClick(s->polButton(1), Qt::LeftButton);
    EXPECT_EQ(s->polButton(1)->text(), "Pol+");
    EXPECT_EQ(app.model.channels[1].polarity, 0);
    QTest::mouseClick(s->polButton(1), Qt::LeftButton);
    EXPECT_EQ(s->polButton(1)->text(), "Pol-");
    EXPECT_FALSE(s->muteButton(5)->isVisible());
}

TEST_F(EditingTest, editor_startsOnOutSubKeepsItsPageAndRestoresTheOverviewWhenClosed) {
    EXPECT_FALSE(app.editor.isVisible());
    EXPECT_EQ(app.editor.pages()->tabText(app.editor.pages()->currentIndex()), "Out sub");
    EXPECT_FALSE(app.editor.pages()->isTabVisible(EditorWindow::kFirstChannelPage + 5));
    EXPECT_EQ(app.editor.windowTitle(), "ZEPHRANOX PC Software");

    openChannel(1);
    // The test screen is narrower than the point and the window: it is moved onto it.
    const QRect screen = app.window.screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(app.editor.frameGeometry()));
    EXPECT_EQ(app.editor.pos(), PlaceWindow({642, 448}, app.editor.frameGeometry().size(), screen));
    app.editor.close();
    EXPECT_EQ(app.window.graphTitle()->text(), "show all");
    EXPECT_TRUE(app.window.legendCheck(3)->isEnabled());
    EXPECT_EQ(app.graph.penWidth(), 2);
    EXPECT_FALSE(app.graph.singleChannelMode());
    app.editor.show();
    EXPECT_EQ(app.editor.pages()->tabText(app.editor.pages()->currentIndex()), "In right");
}

TEST_F(EditingTest, editor_slidersAndListsEditTheModel) {
    app.editor.showPage(EditorPage::Gain);
    QSlider* gain = app.editor.gainPage()->slider(0);
    gain->setValue(0);
    EXPECT_EQ(app.editor.gainPage()->label(0)->text(), "-12.0 dB");
    EXPECT_EQ(app.model.channels[0].gainIndex, 0);
    app.editor.gainPage()->slider(4)->setValue(240);
    EXPECT_EQ(app.editor.gainPage()->label(4)->text(), "12.0 dB");

    app.editor.delayPage()->slider(3)->setValue(960);
    EXPECT_EQ(app.editor.delayPage()->label(3)->text(), "20.160 ms");
    EXPECT_EQ(app.model.channels[3].delaySteps, 960);
    EXPECT_EQ(app.model.channels[3].delayHalves, SplitHalves(960)); // the frame and files

    app.editor.mixerPage()->routeList(1)->setCurrentIndex(3); // "A+B"
    EXPECT_EQ(app.model.outputs[1].routeSource, 3);
}

TEST_F(EditingTest, editor_noKeyOrScreenReaderBringsUpTheHiddenOut4Page) {
    constexpr int kOut4 = EditorWindow::kFirstChannelPage + 5;
    QTabWidget* tabs = app.editor.pages();
    const auto reachesOut4 = [&](QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers) {
        openChannel(4);
        bool reached = false;
        for (int n = 0; n < tabs->count(); ++n) {
            QTest::keyClick(target ? target : tabs->currentWidget(), key, modifiers);
            reached |= tabs->currentIndex() == kOut4 || app.window.graphTitle()->text() == "Out 4";
        }
        return reached;
    };
    EXPECT_FALSE(reachesOut4(nullptr, Qt::Key_Tab, Qt::ControlModifier));
    EXPECT_FALSE(reachesOut4(nullptr, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier));
    EXPECT_FALSE(reachesOut4(tabs->tabBar(), Qt::Key_Right, Qt::NoModifier));
    // A screen reader offers every tab of the bar, the hidden one too.
    openChannel(4);
    QAccessibleInterface* out4 =
        QAccessible::queryAccessibleInterface(tabs->tabBar())->child(kOut4);
    ASSERT_TRUE(out4 && out4->actionInterface());
    out4->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(app.window.graphTitle()->text(), "Out sub");
}

TEST_F(EditingTest, editor_fieldsDisabledByAResetLookDisabled) {
    // The darkest pixel of a control: its text, black while the control can be used.
    const auto darkest = [](QWidget* w) {
        const QImage image = w->grab().toImage();
        int least = 255;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                least = std::min(least, qGray(image.pixel(x, y)));
        return least;
    };
    app.window.setActivePresetName(QStringLiteral("Live"));
    openChannel(2);
    const std::pair<const char*, QWidget*> fields[] = {
        {"band field", field(BandId(2, 0), ChannelPage::Frequency)->edit()},
        {"band type", page(2)->bandType(0)},
        {"page tabs", app.editor.pages()->tabBar()},
        {"DSP active preset", app.window.presetArea()->activePresetField()},
    };
    std::vector<int> usable;
    for (const auto& [name, w] : fields) usable.push_back(darkest(w));
    tp.dialogs.answerYes(true);
    page(2)->resetButton()->click();
    for (std::size_t i = 0; i < std::size(fields); ++i) {
        SCOPED_TRACE(fields[i].first);
        EXPECT_FALSE(fields[i].second->isEnabled());
        EXPECT_GE(darkest(fields[i].second), usable[i] + 60);
    }
}
