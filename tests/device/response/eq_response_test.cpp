#include <gtest/gtest.h>

#include "model/parameter_model.h"
#include "model/value_scales.h"
#include "response/eq_response.h"
#include "response/graph_geometry.h"

#include <algorithm>
#include <cmath>

using namespace zx;

namespace {

constexpr int kFirst = 42;
constexpr int kLast = 930;

double At(const ResponseCurve& c, int column) {
    return c[static_cast<std::size_t>(column - 41)];
}

// The plot column whose frequency lies nearest to hz.
int ColumnNear(double hz) {
    int best = kFirst;
    for (int x = kFirst; x <= kLast; ++x)
        if (std::abs(kGraph.ColumnFrequency(x) - hz) < std::abs(kGraph.ColumnFrequency(best) - hz))
            best = x;
    return best;
}

EqBandParams Band(EqType type, int freqIndex, double gainDb, int qIndex = 4) {
    EqBandParams b;
    b.type = static_cast<std::uint8_t>(type);
    b.freqIndex = static_cast<std::uint8_t>(freqIndex);
    const auto gain = static_cast<std::uint16_t>(std::lround((gainDb + 24.0) / 0.2));
    b.peakGainIndex = gain;
    b.shelfGainIndex = gain;
    b.qIndex = static_cast<std::uint8_t>(qIndex);
    return b;
}

ResponseCurve CurveOf(const EqBandParams& b) {
    ResponseCurve c{};
    ComputeBandCurve(b, PlaceMarker(b), c);
    return c;
}

} // namespace

TEST(GraphGeometry, columnsAndFrequenciesOfTheWorkedExamples) {
    EXPECT_EQ(kGraph.l, 80);
    EXPECT_EQ(kGraph.r, 44);
    EXPECT_EQ(kGraph.FrequencyToColumn(1000.0), 555);
    EXPECT_NEAR(kGraph.ColumnFrequency(555), 996.67, 0.005);
    EXPECT_EQ(kGraph.FrequencyToColumn(20100.0), 888);
    EXPECT_DOUBLE_EQ(kGraph.ColumnFrequency(888), 20000.0);
    EXPECT_DOUBLE_EQ(kGraph.ColumnFrequency(121), 20.0);
    EXPECT_EQ(kGraph.plotColumnCount(), 889);
}

TEST(GraphGeometry, gainRowsAndTheirReadBack) {
    struct Case {
        double table;
        int row;
        double readBack;
    };
    const Case cases[] = {{0.2, 85, 0.2}, {-0.2, 87, -0.1}, {1.0, 81, 1.1},  {-24.0, 198, -23.8},
                          {0.0, 86, 0.0}, {12.0, 30, 12.0}, {15.0, 16, 15.0}};
    for (const Case& c : cases) {
        EXPECT_EQ(kGraph.GainToRow(c.table), c.row) << c.table;
        EXPECT_DOUBLE_EQ(kGraph.MarkerGain(c.row), c.readBack) << c.table;
    }
    EXPECT_EQ(kGraph.GainToRow(-30.0), 227);
}

TEST(GraphGeometry, sumRowsTruncateTowardZeroAndStayDefinedFarOut) {
    EXPECT_EQ(kGraph.SumRow(0.0, 0.0), 86);
    EXPECT_EQ(kGraph.SumRow(0.0, 12.0), 30);
    EXPECT_EQ(kGraph.SumRow(0.0, -12.0), 142);
    EXPECT_EQ(kGraph.SumRow(20.0, 0.0), -7); // -7.44 truncates toward zero
    EXPECT_GT(kGraph.SumRow(-HUGE_VAL, 0.0), 10000);
    EXPECT_LT(kGraph.SumRow(HUGE_VAL, 0.0), -10000);
}

TEST(EqResponse, markerOfEveryFrequencyIndexMapsToItsColumn) {
    for (int i = 0; i <= kMaxFrequencyIndex; ++i) {
        EqBandParams b = Band(EqType::Peq, i, 0.0);
        const BandMarker m = PlaceMarker(b);
        EXPECT_EQ(m.x, kGraph.FrequencyToColumn(FrequencyScale[static_cast<std::size_t>(i)]));
        EXPECT_EQ(m.y, 86);
        // f0 stays inside (19.6, 20000] Hz, where sin(w0) is far from 0.
        EXPECT_GT(kGraph.ColumnFrequency(m.x), 19.5);
        EXPECT_LE(kGraph.ColumnFrequency(m.x), 20000.0);
    }
}

TEST(EqResponse, markerRowFollowsTheActiveGainOnly) {
    EqBandParams b;
    b.type = static_cast<std::uint8_t>(EqType::LowShelf);
    b.peakGainIndex = 150;  // +6.0
    b.shelfGainIndex = 100; // -4.0
    EXPECT_EQ(PlaceMarker(b).y, kGraph.GainToRow(-4.0));
    b.type = static_cast<std::uint8_t>(EqType::Peq);
    EXPECT_EQ(PlaceMarker(b).y, kGraph.GainToRow(6.0));
}

TEST(EqResponse, zeroGainIsExactlyFlatForEveryShape) {
    for (EqType t : {EqType::Peq, EqType::LowShelf, EqType::HighShelf}) {
        for (int q : {0, 4, 179}) {
            const ResponseCurve c = CurveOf(Band(t, 136, 0.0, q));
            for (int x = kFirst; x <= kLast; ++x) ASSERT_EQ(At(c, x), 0.0) << int(t) << " " << x;
        }
    }
}

TEST(EqResponse, peakingBandPeaksInItsMarkerColumnOnTheBase101Scale) {
    struct Case {
        double gain;
        double peak;
    };
    for (Case c : {Case{12.0, 11.974}, Case{6.0, 5.987}}) {
        const ResponseCurve curve = CurveOf(Band(EqType::Peq, 136, c.gain));
        const auto* begin = curve.begin() + 1;
        const auto* peak = std::max_element(begin, curve.begin() + 890);
        EXPECT_EQ(peak - curve.begin() + 41, 555) << c.gain;
        EXPECT_NEAR(*peak, c.peak, 0.0005) << c.gain;
    }
}

TEST(EqResponse, cutOfMinusPointTwoIsComputedWithMinusPointOne) {
    const ResponseCurve c = CurveOf(Band(EqType::Peq, 136, -0.2));
    EXPECT_NEAR(At(c, 555), 40.0 * std::log(std::pow(10.0, -0.1 / 20.0)) / std::log(101.0), 1e-9);
}

TEST(EqResponse, shelvesHaveTheirMovedCorners) {
    const ResponseCurve ls = CurveOf(Band(EqType::LowShelf, 57, 6.0));
    EXPECT_NEAR(At(ls, ColumnNear(100.0)), 4.7, 0.05);
    EXPECT_NEAR(At(ls, ColumnNear(128.0)), 3.0, 0.06);
    EXPECT_NEAR(At(ls, ColumnNear(200.0)), 0.5, 0.05);
    const ResponseCurve hs = CurveOf(Band(EqType::HighShelf, 160, 6.0));
    EXPECT_NEAR(At(hs, ColumnNear(1530.0)), 3.0, 0.02);
    EXPECT_NEAR(At(hs, ColumnNear(2000.0)), 4.8, 0.05);
    // Far from the corner a shelf reaches its gain on its side and nothing on the other.
    EXPECT_NEAR(At(ls, kFirst), 5.987, 0.01);
    EXPECT_NEAR(At(ls, kLast), 0.0, 0.01);
    EXPECT_NEAR(At(hs, kFirst), 0.0, 0.01);
}

TEST(EqResponse, widestPeakingBandStaysFinite) {
    for (int freq : {0, 136, 240}) {
        for (double gain : {12.0, -24.0}) {
            const ResponseCurve c = CurveOf(Band(EqType::Peq, freq, gain, 0));
            for (int x = kFirst; x <= kLast; ++x) ASSERT_TRUE(std::isfinite(At(c, x))) << x;
            EXPECT_GT(std::abs(At(c, kGraph.FrequencyToColumn(FrequencyAt(freq)))), 5.0);
        }
    }
}

TEST(EqResponse, unknownTypeIsFlat) {
    EqBandParams b = Band(EqType::Peq, 136, 12.0);
    b.type = 7;
    ResponseCurve c;
    c.fill(3.0);
    ComputeBandCurve(b, PlaceMarker(b), c);
    for (int x = kFirst; x <= kLast; ++x) ASSERT_EQ(At(c, x), 0.0);
}

// The per-column evaluation against the formulas written out directly, one column at a
// time: BiquadMagnitude at the column angle of each shape, then CurveDb.
TEST(EqResponse, curvesAgreeWithTheDirectFormulas) {
    struct Case {
        EqType type;
        int freq;
        double gain;
        int q;
    };
    const Case cases[] = {{EqType::Peq, 136, 12.0, 4},       {EqType::Peq, 20, -24.0, 0},
                          {EqType::Peq, 230, 3.4, 179},      {EqType::LowShelf, 57, 6.0, 4},
                          {EqType::LowShelf, 200, -11.2, 4}, {EqType::HighShelf, 160, 6.0, 4},
                          {EqType::HighShelf, 10, -24.0, 4}};
    for (const Case& c : cases) {
        const EqBandParams band = Band(c.type, c.freq, c.gain, c.q);
        const BandMarker m = PlaceMarker(band);
        const double f0 = kGraph.ColumnFrequency(m.x);
        const double g = kGraph.MarkerGain(m.y);
        const BiquadSection s =
            c.type == EqType::Peq ? PeakingSection(f0, g, QAt(c.q)) : ShelfSection(c.type, f0, g);
        const double twoPi = c.type == EqType::Peq ? 2.0 * 3.141592 : 6.283185307179586;
        const ResponseCurve curve = CurveOf(band);
        for (int x = kFirst; x <= kLast; ++x) {
            const double w = twoPi * kGraph.ColumnFrequency(x) / 96000.0;
            ASSERT_NEAR(At(curve, x),
                        CurveDb(BiquadMagnitude(s.b0, s.b1, s.b2, s.a0, s.a1, s.a2, w)), 1e-9)
                << int(c.type) << " column " << x;
        }
    }
}

TEST(EqResponse, peakingDesignUsesTheDoubledBandwidth) {
    const double f0 = 1000.0, q = 1.0;
    const double w0 = f0 * 6.544985e-05;
    const BiquadSection s = PeakingSection(f0, 6.0, q);
    const double a = std::pow(10.0, 6.0 / 40.0);
    const double alpha =
        std::sin(w0) * std::sinh(2.0 * std::asinh(1.0 / (2.0 * q)) * w0 / std::sin(w0));
    EXPECT_NEAR(s.b0, 1.0 + alpha * a, 1e-7);
    EXPECT_NEAR(s.a0, 1.0 + alpha / a, 1e-7);
    EXPECT_DOUBLE_EQ(s.b1, -2.0 * std::cos(w0));
    EXPECT_DOUBLE_EQ(s.a1, s.b1);
}
