#include "editing_fixture.h"

#include "model/entry_fields.h"
#include "model/preset_image.h"
#include "model/value_scales.h"
#include "response/eq_response.h"
#include "response/graph_drag.h"
#include "sim/sim_amplifier.h"
#include "ui/editor_window.h"

using namespace zx;

TEST_F(EditingTest, drag_movesTheBandWithSnappedValuesAndShortTexts) {
    struct Case {
        const char* name;
        std::vector<QPoint> moves;
        int column; // the pointer column and row that count; row -1: the gain stays
        int row;
        std::optional<BandMarker> marker = std::nullopt;
    };
    // Band 6 of Out left starts at 1000 Hz (column 555), 0.0 dB (row 86).
    const Case cases[] = {
        {"straight to the 0 dB row", {{555, 86}}, 555, 86, BandMarker{555, 85}},
        {"beyond the right limit", {{600, 60}, {930, 100}}, 600, 100},
        {"to the right edge", {{887, 86}, {920, 86}}, 920, 86, BandMarker{888, 85}},
        {"along the bottom edge", {{500, 240}, {510, 240}, {520, 240}}, 520, -1},
        {"above the top", {{400, 31}}, 400, -1},
    };
    openChannel(2);
    const EqBandId band = BandId(2, 5);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        app.model.bands[band] = DefaultBand(5);
        app.graph.RefreshBand(app.model, band);
        drag(markerAt(band), c.moves);
        const EqBandParams& b = app.model.bands[band];
        const int freq = ColumnToFrequencyIndex(c.column);
        const int gain = c.row < 0 ? 120 : RowToGainIndex(c.row);
        EXPECT_EQ(b.freqIndex, freq);
        EXPECT_EQ(b.peakGainIndex, gain);
        EXPECT_EQ(app.graph.marker(band), PlaceMarker(b)); // snapped
        EXPECT_EQ(field(band, ChannelPage::Frequency)->text(),
                  ShortestNumberText(FrequencyAt(freq)));
        EXPECT_EQ(field(band, ChannelPage::Gain)->text(), ShortestNumberText(EqGainAt(gain)));
        if (c.marker) {
            EXPECT_EQ(app.graph.marker(band), *c.marker);
        }
        EXPECT_FALSE(app.actions.dragging());
    }
}

TEST_F(EditingTest, drag_pressesStartNothingAwayFromMarkersOrOffChannelPages) {
    openChannel(2);
    const ParameterModel before = app.model;
    const QPoint m = markerAt(BandId(2, 5));
    drag(m + QPoint(8, 0), {{700, 60}});
    drag(m + QPoint(0, -8), {{700, 60}});
    app.editor.showPage(EditorPage::Gain);
    drag(m, {{700, 60}});
    app.editor.hide();
    drag(m, {{700, 60}});
    EXPECT_EQ(app.model, before);
}

TEST_F(EditingTest, drag_overlappingMarkersTakeTheLowerBand) {
    openChannel(0);
    type(field(BandId(0, 6), ChannelPage::Frequency), "1000", true); // onto band 6
    drag(markerAt(BandId(0, 5)), {{300, 60}});
    EXPECT_NE(app.model.bands[BandId(0, 5)].freqIndex, 136);
    EXPECT_EQ(app.model.bands[BandId(0, 6)].freqIndex, 136);
}

TEST_F(EditingTest, drag_movesThePressedBandThoughAnotherBandsFieldCommitsAfterThePress) {
    connectAndWait();
    openChannel(2);
    NumberField* q = field(BandId(2, 2), ChannelPage::Q);
    q->edit()->setFocus();
    q->edit()->selectAll();
    QTest::keyClicks(q->edit(), QStringLiteral("3"));
    // As on the desktop, the field is left when the press has activated the main window.
    drag(markerAt(BandId(2, 4)), {{640, 70}},
         [this] { QApplication::setActiveWindow(&app.window); });
    drain();
    ParameterModel device;
    ASSERT_TRUE(ReadImageText(
        QString::fromLatin1(SimAmplifier::BlockFrame(0, tp.sim.liveImage()).toHex().toUpper()),
        device));
    for (const ParameterModel* m : {&app.model, &device}) {
        EXPECT_EQ(m->band(2, 4).freqIndex, ColumnToFrequencyIndex(640));
        EXPECT_EQ(m->band(2, 2).freqIndex, kDefaultBandFreqIndex[2]);
        EXPECT_EQ(m->band(2, 2).qIndex, SnapQ(3));
    }
    EXPECT_EQ(q->text(), "3.0");
}
