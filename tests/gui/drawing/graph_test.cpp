#include <gtest/gtest.h>

#include "drawing/graph.h"
#include "drawing/graph_canvas.h"
#include "model/parameter_model.h"
#include "model/value_scales.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPolygon>

using namespace zx;

namespace {

const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kFrame = qRgb(128, 128, 128);
const QRgb kGrid = qRgb(64, 64, 64);
const QRgb kRed = qRgb(255, 0, 0);

QRgb Pixel(const QImage& img, int x, int y) {
    return img.pixel(x, y) | 0xff000000u;
}

bool IsWhiteish(QRgb c) {
    return qRed(c) > 160 && qGreen(c) > 160 && qBlue(c) > 160;
}

int CountIn(const QImage& img, int x0, int y0, int x1, int y1, bool (*pred)(QRgb)) {
    int n = 0;
    for (int y = std::max(0, y0); y <= std::min(img.height() - 1, y1); ++y)
        for (int x = std::max(0, x0); x <= std::min(img.width() - 1, x1); ++x)
            n += pred(Pixel(img, x, y)) ? 1 : 0;
    return n;
}

// Rows of a column holding the colour.
std::vector<int> RowsOf(const QImage& img, int x, QRgb colour) {
    std::vector<int> rows;
    for (int y = 0; y < img.height(); ++y)
        if (Pixel(img, x, y) == colour) rows.push_back(y);
    return rows;
}

void SetGain(EqBandParams& b, double db) {
    SetActiveGainIndex(b, static_cast<std::uint16_t>(std::lround((db + 24.0) / 0.2)));
    RefreshHalves(b);
}

} // namespace

TEST(GridBitmap, frameRowsAndColumnsSitWhereListed) {
    const QImage grid = BuildGridBitmap(937, 249);
    ASSERT_EQ(grid.size(), QSize(937, 249));
    for (auto [x, y] : {std::pair{41, 17},
                        {931, 17},
                        {41, 225},
                        {931, 225},
                        {500, 17},
                        {500, 225},
                        {41, 120},
                        {931, 120}})
        EXPECT_EQ(Pixel(grid, x, y), kFrame) << x << "," << y;

    const int rows[] = {40, 63, 86, 109, 133, 156, 179, 202};
    for (int j = 1; j <= 8; ++j) EXPECT_EQ(kGraph.GridRow(j), rows[j - 1]);
    for (int row : rows) {
        EXPECT_EQ(Pixel(grid, 42, row), kGrid) << row;
        EXPECT_EQ(Pixel(grid, 600, row), kGrid) << row;
        EXPECT_EQ(Pixel(grid, 930, row), kGrid) << row;
        EXPECT_EQ(Pixel(grid, 931, row), kFrame) << row; // the line ends short of the frame
    }

    const int columns[] = {121, 165, 197, 222, 242, 259, 274, 287, 299, 376, 421, 453, 477, 498,
                           515, 530, 543, 554, 631, 676, 708, 733, 753, 770, 785, 798, 810, 887};
    for (int x : columns) {
        EXPECT_EQ(Pixel(grid, x, 18), kGrid) << x;
        EXPECT_EQ(Pixel(grid, x, 100), kGrid) << x;
        EXPECT_EQ(Pixel(grid, x, 224), kGrid) << x;
        EXPECT_EQ(Pixel(grid, x, 225), kFrame) << x;
    }
    // 1000 Hz: grid column 554, curve column 555.
    EXPECT_EQ(Pixel(grid, 555, 100), kBlack);
    EXPECT_EQ(Pixel(grid, 600, 100), kBlack);
    EXPECT_EQ(Pixel(grid, 40, 100), kBlack);
    EXPECT_EQ(Pixel(grid, 932, 100), kBlack);
}

TEST(GridBitmap, labelsAreWhiteOnTheirCellBackgroundAtTheirCorners) {
    const QImage grid = BuildGridBitmap(937, 249);
    const auto isCell = [](QRgb c) { return c == qRgb(4, 2, 4); };
    struct Corner {
        int x;
        int y;
    };
    for (Corner c : {Corner{4, 10}, {12, 79}, {6, 218}, {110, 226}, {542, 226}, {873, 226}}) {
        EXPECT_GT(CountIn(grid, c.x, c.y, c.x + 20, c.y + 10, isCell), 10) << c.x << "," << c.y;
        EXPECT_GT(CountIn(grid, c.x, c.y, c.x + 20, c.y + 12, IsWhiteish), 3) << c.x << "," << c.y;
        // Nothing of the label lies left of or above its corner.
        EXPECT_EQ(CountIn(grid, c.x - 3, c.y - 3, c.x - 1, c.y + 10, isCell), 0) << c.x;
        EXPECT_EQ(CountIn(grid, c.x, c.y - 3, c.x + 20, c.y - 1, isCell), 0) << c.x;
    }
}

TEST(Graph, startsWithTheMagentaZeroLineOnTheGrid) {
    Graph g;
    EXPECT_EQ(g.penWidth(), 2);
    const QRgb magenta = qRgb(255, 0, 255);
    for (int x : {42, 300, 930}) EXPECT_EQ(Pixel(g.image(), x, 86), magenta) << x;
    EXPECT_EQ(Pixel(g.image(), 600, 100), kBlack);
    EXPECT_EQ(Pixel(g.image(), 41, 17), kFrame);
}

TEST(Graph, flatChannelPlotsOnItsGainRow) {
    struct Case {
        int gainIndex;
        int row;
    };
    for (Case c : {Case{120, 86}, {240, 30}, {0, 142}}) {
        ParameterModel m;
        m.channels[2].gainIndex = static_cast<std::uint8_t>(c.gainIndex);
        Graph g;
        g.EditorShown();
        g.CopyGrid();
        g.PlotChannel(m, 2);
        for (int x : {42, 333, 555, 930}) {
            EXPECT_EQ(RowsOf(g.image(), x, kRed), std::vector<int>{c.row})
                << c.gainIndex << " " << x;
        }
        EXPECT_TRUE(RowsOf(g.image(), 41, kRed).empty());
        EXPECT_TRUE(RowsOf(g.image(), 931, kRed).empty());
    }
}

TEST(Graph, overviewDrawsShownChannelsInOrderWithTheThickPen) {
    ParameterModel m;
    Graph g;
    g.RedrawOverview(m);
    // All five channels lie on row 86; Out sub, drawn last, is on top.
    const std::vector<int> magentaRows = RowsOf(g.image(), 600, qRgb(255, 0, 255));
    ASSERT_EQ(magentaRows.size(), 2u);
    EXPECT_TRUE(magentaRows[0] == 86 || magentaRows[1] == 86);

    g.ShowSwitchClicked(m, 4, false);
    EXPECT_TRUE(RowsOf(g.image(), 600, qRgb(255, 0, 255)).empty());
    EXPECT_EQ(RowsOf(g.image(), 600, qRgb(0, 255, 255)).size(), 2u); // Out right now on top

    // Out 4 never appears in the overview, even when its switch is on.
    m.channels[5].gainIndex = 240;
    g.ShowSwitchClicked(m, 5, true);
    EXPECT_TRUE(RowsOf(g.image(), 600, kRed).empty());
}

TEST(Graph, showSwitchesAreIgnoredWhileTheEditorIsOpen) {
    ParameterModel m;
    Graph g;
    g.EditorShown();
    EXPECT_TRUE(g.singleChannelMode());
    EXPECT_EQ(g.penWidth(), 1);
    const QImage before = g.image();
    g.ShowSwitchClicked(m, 0, false);
    EXPECT_TRUE(g.showSwitch(0));
    EXPECT_EQ(g.image(), before);
    g.EditorHidden(m);
    EXPECT_FALSE(g.singleChannelMode());
    EXPECT_EQ(g.penWidth(), 2);
    EXPECT_FALSE(RowsOf(g.image(), 600, qRgb(255, 0, 255)).empty()); // overview redrawn
}

TEST(Graph, sumAboveTheImageIsDrawnTowardItAndClipped) {
    ParameterModel m;
    m.channels[0].gainIndex = 240;
    SetGain(m.band(0, 5), 12.0);
    Graph g;
    g.EditorShown();
    g.RefreshBand(m, BandId(0, 5));
    EXPECT_LT(kGraph.SumRow(ChannelSum(g.curves(), 0, 555), 12.0), 0);
    EXPECT_GT(CountIn(g.image(), 42, 0, 930, 0, [](QRgb c) { return c == kRed; }), 0);
}

TEST(Graph, refreshBandDrawsGridCurveInRedAndTheChannelsMarkers) {
    ParameterModel m;
    SetGain(m.band(2, 5), 12.0); // band 6 of Out left, 1000 Hz
    Graph g;
    g.EditorShown();
    g.RefreshBand(m, BandId(2, 5));
    EXPECT_EQ(g.currentBand(), BandId(2, 5));
    EXPECT_EQ(g.marker(BandId(2, 5)), (BandMarker{555, 30}));
    // The square is 8 × 8 with its right and bottom edges left out.
    const QRgb band6 = BandColour(5).rgb();
    for (auto [x, y] : {std::pair{551, 26}, {558, 33}, {555, 30}})
        EXPECT_EQ(Pixel(g.image(), x, y), band6) << x << "," << y;
    EXPECT_NE(Pixel(g.image(), 559, 30), band6);
    EXPECT_NE(Pixel(g.image(), 555, 34), band6);
    // The curve peaks just below the marker's row and is flat far away.
    EXPECT_FALSE(RowsOf(g.image(), 120, kRed).empty());
    EXPECT_EQ(RowsOf(g.image(), 120, kRed), std::vector<int>{86});
    // Bands never refreshed keep their first places on the 0 dB row.
    EXPECT_EQ(Pixel(g.image(), 110, 86), BandColour(0).rgb());
    EXPECT_EQ(Pixel(g.image(), 677, 86), BandColour(7).rgb());
    // A second refresh erases the first picture.
    SetGain(m.band(2, 5), 0.0);
    g.RefreshBand(m, BandId(2, 5));
    EXPECT_NE(Pixel(g.image(), 555, 30), band6);
    EXPECT_EQ(RowsOf(g.image(), 120, kRed), std::vector<int>{86});
}

TEST(Graph, markerNumberGoesAboveUpToRow116AndBelowFrom117) {
    struct Case {
        int y;
        int textTop;
    };
    for (Case c : {Case{116, 98}, Case{117, 121}}) {
        Graph g;
        // Band 1 of In left at (300, y); the others well away from it.
        for (int b = 0; b < 8; ++b) g.setMarker(BandId(0, b), {600 + 30 * b, 60});
        g.setMarker(BandId(0, 0), {300, c.y});
        g.CopyGrid();
        g.DrawBandMarkers(0);
        const QImage& img = g.image();
        const int above = CountIn(img, 296, c.y - 24, 312, c.y - 5, IsWhiteish);
        const int below = CountIn(img, 296, c.y + 4, 312, c.y + 24, IsWhiteish);
        if (c.y == 116) {
            EXPECT_GT(above, 0);
            EXPECT_EQ(below, 0);
        } else {
            EXPECT_EQ(above, 0);
            EXPECT_GT(below, 0);
        }
        // The number starts at its top row, not above it.
        EXPECT_EQ(CountIn(img, 296, c.textTop - 6, 312, c.textTop - 1, IsWhiteish), 0) << c.y;
        EXPECT_GT(CountIn(img, 296, c.textTop, 312, c.textTop + 13, IsWhiteish), 0) << c.y;
    }
}

TEST(Graph, markerRowsFromTableGainsStraddleTheNumberSwitch) {
    ParameterModel m;
    SetGain(m.band(0, 0), -6.4);
    SetGain(m.band(0, 1), -6.6);
    Graph g;
    g.RefreshBand(m, BandId(0, 0));
    g.RefreshBand(m, BandId(0, 1));
    EXPECT_EQ(g.marker(BandId(0, 0)).y, 116);
    EXPECT_EQ(g.marker(BandId(0, 1)).y, 117);
}

TEST(Graph, crossoverPlotsFollowTheMode) {
    ParameterModel m;
    m.channels[3].lpfFreqIndex = 136;
    m.channels[3].lpfType = 6;
    Graph g;
    g.setCurrentCrossoverChannel(3);
    g.CopyGrid();
    g.ComputeLowPassCurve(m, m.channels[3].lpfType);
    // Overview: Out right in its colour, a few dB down just above the cut-off.
    EXPECT_NEAR(g.curves().lowPass[3][555 - 41], -2.94, 0.01);
    EXPECT_FALSE(RowsOf(g.image(), 580, qRgb(0, 255, 255)).empty());
    EXPECT_TRUE(RowsOf(g.image(), 580, kRed).empty());

    g.EditorShown();
    g.setCurrentBand(BandId(3, 0));
    g.RedrawCrossover(m, 3, false);
    EXPECT_TRUE(RowsOf(g.image(), 580, qRgb(0, 255, 255)).empty());
    EXPECT_FALSE(RowsOf(g.image(), 580, kRed).empty());
    EXPECT_EQ(Pixel(g.image(), 110, 86), BandColour(0).rgb()); // the channel's markers

    m.channels[3].hpfFreqIndex = 136;
    g.RedrawCrossover(m, 3, true);
    EXPECT_NEAR(g.curves().highPass[3][555 - 41], -3.00, 0.01);
}

TEST(Graph, refreshAllMatchesRefreshingEveryBandAndCrossoverInTurn) {
    ParameterModel m;
    for (EqBandId id = 0; id < kBandCount; ++id) {
        EqBandParams& b = m.bands[static_cast<std::size_t>(id)];
        b.type = static_cast<std::uint8_t>(id % 3);
        b.freqIndex = static_cast<std::uint8_t>((id * 37) % 241);
        b.qIndex = static_cast<std::uint8_t>((id * 11) % 180);
        SetGain(b, -10.0 + (id % 9) * 2.4);
    }
    for (ChannelId ch = 0; ch < kChannelCount; ++ch) {
        ChannelParams& c = m.channels[static_cast<std::size_t>(ch)];
        c.hpfFreqIndex = static_cast<std::uint8_t>(10 * ch);
        c.hpfType = static_cast<std::uint8_t>(ch);
        c.lpfFreqIndex = static_cast<std::uint8_t>(240 - 20 * ch);
        c.lpfType = static_cast<std::uint8_t>(11 - ch);
        c.gainIndex = static_cast<std::uint8_t>(100 + 7 * ch);
    }
    Graph fast;
    fast.EditorShown();
    fast.RefreshAll(m);

    Graph stepwise;
    stepwise.EditorShown();
    for (EqBandId id = 0; id < kBandCount; ++id) stepwise.RefreshBand(m, id);
    for (ChannelId ch = 0; ch < kChannelCount; ++ch) {
        stepwise.setCurrentCrossoverChannel(ch);
        stepwise.ComputeHighPassCurve(m, m.channels[static_cast<std::size_t>(ch)].hpfType);
        stepwise.ComputeLowPassCurve(m, m.channels[static_cast<std::size_t>(ch)].lpfType);
    }
    stepwise.RedrawOverview(m);

    EXPECT_EQ(fast.image(), stepwise.image());
    EXPECT_EQ(fast.markers(), stepwise.markers());
    EXPECT_EQ(fast.currentBand(), stepwise.currentBand());
    EXPECT_EQ(fast.currentCrossoverChannel(), stepwise.currentCrossoverChannel());
    for (std::size_t i = 0; i < kBandCount; ++i)
        EXPECT_EQ(fast.curves().bands[i], stepwise.curves().bands[i]);
    for (std::size_t i = 0; i < kChannelCount; ++i) {
        EXPECT_EQ(fast.curves().highPass[i], stepwise.curves().highPass[i]);
        EXPECT_EQ(fast.curves().lowPass[i], stepwise.curves().lowPass[i]);
    }
    // The last picture is the overview, not the red single channel.
    EXPECT_EQ(CountIn(fast.image(), 42, 0, 930, 248, [](QRgb c) { return c == kRed; }), 0);
}

TEST(Graph, channelSumAddsBandsAndCrossoversOfThatChannelOnly) {
    ParameterModel m;
    SetGain(m.band(1, 2), 6.0);
    m.channels[1].lpfFreqIndex = 136;
    m.channels[1].gainIndex = 150; // +3.0 dB
    SetGain(m.band(0, 2), -12.0);
    ResponseCurves curves;
    BandMarkers markers = InitialBandMarkers();
    RecomputeAllCurves(m, curves, markers);
    for (int x : {42, 302, 555, 930}) {
        const std::size_t i = static_cast<std::size_t>(x - 41);
        double expected = 0.0;
        for (int b = 0; b < 8; ++b) expected += curves.bands[static_cast<std::size_t>(8 + b)][i];
        expected += curves.highPass[1][i] + curves.lowPass[1][i];
        EXPECT_DOUBLE_EQ(ChannelSum(curves, 1, x), expected);
        EXPECT_NEAR(PlottedValue(curves, m, 1, x), expected + 3.0, 1e-9);
    }
    EXPECT_NE(ChannelSum(curves, 1, 302), 0.0);
    // Another channel only has its switched-off crossovers (1 Hz, 60000 Hz).
    EXPECT_NEAR(ChannelSum(curves, 2, 302), 0.0, 1e-3);
}

// Far-off stretches of steep curves are left out of the stroke; the picture must be the
// one the whole line gives.
TEST(Graph, steepCurvesLeaveThePictureAsTheWholeLineWould) {
    ParameterModel m;
    m.channels[0].hpfFreqIndex = 120;
    m.channels[0].hpfType = 9;
    m.channels[0].lpfFreqIndex = 150;
    m.channels[0].lpfType = 10;
    ResponseCurves curves;
    BandMarkers markers = InitialBandMarkers();
    RecomputeAllCurves(m, curves, markers);
    for (int width : {1, 2}) {
        QImage runs = BuildGridBitmap(937, 249);
        PlotChannelCurve(runs, curves, 0, 0.0, QColor(255, 0, 0), width);
        QImage whole = BuildGridBitmap(937, 249);
        {
            QPolygon line;
            for (int x = 42; x <= 930; ++x)
                line << QPoint(x, kGraph.SumRow(ChannelSum(curves, 0, x), 0.0));
            QPainter p(&whole);
            p.setPen(QPen(QColor(255, 0, 0), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPolyline(line);
        }
        EXPECT_EQ(runs, whole) << width;
        EXPECT_GT(CountIn(runs, 42, 0, 930, 248, [](QRgb c) { return c == kRed; }), 100);
    }
}

TEST(Graph, measurementLegendAboveTheFrameOnlyWhileAMeasurementIsShown) {
    ParameterModel m;
    MeasurementOverlay overlay;
    overlay.measured.fill(0.0);
    overlay.target.fill(0.0);
    const QRect legend = MeasurementLegendRect();
    // Clear of the frame (row 17) and within its right edge.
    EXPECT_LT(legend.bottom(), 17);
    EXPECT_GE(legend.top(), 0);
    EXPECT_LE(legend.right(), 931);
    struct Case {
        const char* name;
        bool editor;
        bool overlay;
        bool legend;
    };
    const Case cases[] = {
        {"the channel with a measurement", true, true, true},
        {"the channel without one", true, false, false},
        {"the overview", false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Graph g;
        if (c.editor) g.EditorShown();
        g.setOverlay(2, c.overlay ? std::optional(overlay) : std::nullopt);
        g.RefreshBand(m, BandId(2, 0));
        if (!c.editor) g.RedrawOverview(m);
        for (QRgb colour : {kMeasurementRgb, kTargetRgb, kPredictedRgb}) {
            int n = 0;
            for (int y = legend.top(); y <= legend.bottom(); ++y)
                for (int x = legend.left(); x <= legend.right(); ++x)
                    n += Pixel(g.image(), x, y) == colour ? 1 : 0;
            EXPECT_EQ(n > 0, c.legend) << std::hex << colour;
        }
        // Everything else above the frame is the grid's.
        const QImage& grid = g.gridBitmap();
        for (int y = 0; y < 17; ++y) {
            for (int x = 0; x < grid.width(); ++x) {
                if (!legend.contains(x, y)) {
                    ASSERT_EQ(Pixel(g.image(), x, y), Pixel(grid, x, y)) << x << "," << y;
                }
            }
        }
    }
}
