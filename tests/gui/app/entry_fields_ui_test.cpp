#include "editing_fixture.h"

#include <QComboBox>
#include <QTabWidget>

#include "ui/progress_box.h"

using namespace zx;

namespace {

struct TypingCase {
    ChannelPage::Column column;
    const char* keys;
    bool enter;
    const char* shown;
    int index;
};

int BandIndex(const EqBandParams& b, ChannelPage::Column column) {
    switch (column) {
    case ChannelPage::Frequency:
        return b.freqIndex;
    case ChannelPage::Gain:
        return ActiveGainIndex(b);
    case ChannelPage::Q:
        break;
    }
    return b.qIndex;
}

} // namespace

TEST_F(EditingTest, fields_typedTextIsFilteredSnappedAndWrittenBack) {
    const TypingCase cases[] = {
        {ChannelPage::Frequency, "1003", true, "1000.0", 136},
        {ChannelPage::Frequency, "50000", false, "20100.0", 240},
        {ChannelPage::Frequency, "20", true, "19.7", 0},
        {ChannelPage::Frequency, "20.1", false, "20.3", 1},
        {ChannelPage::Frequency, "-1x2a0", true, "121.0", 63}, // "-", "x", "a" never arrive
        {ChannelPage::Gain, "5.55", true, "5.6", 148},
        {ChannelPage::Gain, "-3.2", false, "-3.2", 104},
        {ChannelPage::Gain, "-", false, "0.0", 120}, // not a number: the previous text
        {ChannelPage::Gain, "1.2.3", true, "0.0", 120},
        {ChannelPage::Q, "0", true, "0.2", 0},
        {ChannelPage::Q, "99", false, "36.0", 179},
        {ChannelPage::Q, "-2", true, "2.0", 9},
    };
    openChannel(2);
    for (const TypingCase& c : cases) {
        SCOPED_TRACE(c.keys);
        const EqBandId band = BandId(2, 3);
        app.model.bands[band] = DefaultBand(3);
        field(band, ChannelPage::Gain)->setText(QStringLiteral("0.0"));
        type(field(band, c.column), QString::fromLatin1(c.keys), c.enter);
        EXPECT_EQ(field(band, c.column)->text(), QString::fromLatin1(c.shown));
        EXPECT_EQ(BandIndex(app.model.bands[band], c.column), c.index);
        EXPECT_EQ(app.graph.currentBand(), band);
    }
}

TEST_F(EditingTest, fields_enterRemembersTheTextSoLeavingChangesNothing) {
    openChannel(2);
    NumberField* f = field(BandId(2, 0), ChannelPage::Frequency);
    type(f, "19.70", true); // differs from "19.7" as text: committed
    EXPECT_EQ(f->text(), "19.7");
    EXPECT_EQ(app.editor.fieldMemory().previousText, "19.7");
    app.model.bands[BandId(2, 0)].freqIndex = 9; // a later commit would overwrite this
    f->edit()->clearFocus();
    EXPECT_EQ(app.model.bands[BandId(2, 0)].freqIndex, 9);
}

TEST_F(EditingTest, fields_spinButtonsStepWithinTheTableAndTheShelfGain) {
    openChannel(3);
    const EqBandId band = BandId(3, 1);
    spin(field(band, ChannelPage::Q), -1, 6);
    EXPECT_EQ(app.model.bands[band].qIndex, 0);
    EXPECT_EQ(field(band, ChannelPage::Q)->text(), "0.2");

    page(3)->bandType(1)->setCurrentIndex(1); // LS 6dB
    EXPECT_EQ(field(band, ChannelPage::Q)->text(), "");
    EXPECT_FALSE(field(band, ChannelPage::Q)->upButton()->isEnabled());
    spin(field(band, ChannelPage::Gain), +1, 70);
    EXPECT_EQ(app.model.bands[band].shelfGainIndex, 180);
    EXPECT_EQ(field(band, ChannelPage::Gain)->text(), "12.0");

    page(3)->bandType(1)->setCurrentIndex(0); // PEQ again: the untouched values
    EXPECT_EQ(field(band, ChannelPage::Gain)->text(), "0.0");
    EXPECT_EQ(field(band, ChannelPage::Q)->text(), "0.2");
    EXPECT_TRUE(field(band, ChannelPage::Q)->edit()->isEnabled());

    NumberField* hpf = page(3)->crossoverField(true);
    spin(hpf, -1);
    spin(hpf, +1, 3);
    EXPECT_EQ(app.model.channels[3].hpfFreqIndex, 3);
    EXPECT_EQ(app.graph.currentCrossoverChannel(), 3);
}

TEST_F(EditingTest, fields_resetAsksThenRestoresTheChannelsBandsUnderAProgressBox) {
    openChannel(4);
    type(field(BandId(4, 5), ChannelPage::Frequency), "5000", true);
    page(4)->bandType(2)->setCurrentIndex(2);
    const ParameterModel edited = app.model;

    page(4)->resetButton()->click(); // answered No
    EXPECT_EQ(app.model, edited);
    ASSERT_EQ(tp.dialogs.shown().size(), 1u);
    EXPECT_EQ(tp.dialogs.shown()[0].caption, "2Z4");
    EXPECT_EQ(tp.dialogs.shown()[0].text, "Do you want to reset all filters?");

    tp.dialogs.answerYes(true);
    page(4)->resetButton()->click();
    EXPECT_EQ(app.model.bands[BandId(4, 5)].freqIndex, 136);
    EXPECT_EQ(field(BandId(4, 5), ChannelPage::Frequency)->text(), "1000");
    EXPECT_EQ(app.model.bands[BandId(4, 2)].type, 0);
    EXPECT_EQ(field(BandId(4, 2), ChannelPage::Q)->text(), "1.0");
    ParameterModel defaults;
    EXPECT_EQ(app.model.bands, defaults.bands);

    EXPECT_TRUE(app.editor.progressBox()->isVisible());
    EXPECT_EQ(app.editor.progressBox()->pos(), QPoint(157, 128));
    EXPECT_FALSE(app.editor.pages()->isEnabled());
    EXPECT_FALSE(app.window.signalFlowPanel()->isEnabled());
    tp.advance(5950);
    EXPECT_EQ(app.editor.progressBox()->percent(), 95);
    EXPECT_FALSE(app.window.topBar()->isEnabled());
    tp.advance(100);
    EXPECT_FALSE(app.editor.progressBox()->isVisible());
    EXPECT_TRUE(app.editor.pages()->isEnabled());
    EXPECT_TRUE(app.window.graphPanel()->isEnabled());
    EXPECT_TRUE(field(BandId(4, 2), ChannelPage::Q)->edit()->isEnabled());
}
