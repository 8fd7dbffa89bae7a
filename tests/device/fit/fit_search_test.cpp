#include "fit/fit_search.h"

#include "fit/column_response.h"
#include "model/value_scales.h"

#include "measurements.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zx {
namespace {

using test::Band;
using test::DrawnNegative;
using test::kOutLeft;

FitBand Indexes(const EqBandParams& b) {
    return {b.type, b.freqIndex, b.qIndex, ActiveGainIndex(b)};
}

EqBandParams Moved(EqBandParams b, int freq, int q, int gain) {
    b.freqIndex = static_cast<std::uint8_t>(b.freqIndex + freq);
    b.qIndex = static_cast<std::uint8_t>(b.qIndex + q);
    SetActiveGainIndex(b, static_cast<std::uint16_t>(ActiveGainIndex(b) + gain));
    return b;
}

// Two boosts on one frequency, each a step off: either band moved alone makes the sum worse,
// so a descent of one band at a time stops; moving both at once finds them exactly.
TEST(FitSearch, aPairMoveFindsTwoOverlappingBandsThatSingleMovesMiss) {
    struct Case {
        const char* name;
        EqBandParams first, second;
        int firstFreq, firstQ, secondFreq, secondQ; // the starting bands' steps off
    };
    const Case cases[] = {
        {"frequencies apart", Band(EqType::Peq, 120, 150, 10), Band(EqType::Peq, 120, 145, 10), -1,
         0, 1, 0},
        {"widths apart", Band(EqType::Peq, 120, 150, 10), Band(EqType::Peq, 120, 145, 10), 0, 1, 0,
         -1},
        {"neighbours", Band(EqType::Peq, 120, 150, 10), Band(EqType::Peq, 122, 145, 10), 1, 0, -1,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ParameterModel truth;
        truth.band(kOutLeft, 0) = c.first;
        truth.band(kOutLeft, 1) = c.second;
        ParameterModel start = truth;
        start.band(kOutLeft, 0) = Moved(c.first, c.firstFreq, c.firstQ, 0);
        start.band(kOutLeft, 1) = Moved(c.second, c.secondFreq, c.secondQ, 0);
        const FitProblem p(start, kOutLeft, DrawnNegative(truth, kOutLeft), FlatTarget(0.0), {});
        FitState s = p.DescendOnly(p.Start());
        ASSERT_GT(s.cost, 1e-3);
        ASSERT_TRUE(p.PairMove(s));
        EXPECT_LT(s.cost, 1e-12);
        EXPECT_EQ(s.bands[0], Indexes(c.first));
        EXPECT_EQ(s.bands[1], Indexes(c.second));
    }
}

// One band kept, the other flat far from where the error is. Taken out and placed again
// against the kept band's residual, it lands on the missing band exactly.
TEST(FitSearch, placingABandAgainFindsTheMissingBand) {
    ParameterModel truth;
    truth.band(kOutLeft, 0) = Band(EqType::Peq, 60, 100, 6);
    truth.band(kOutLeft, 1) = Band(EqType::Peq, 180, 150, 8);
    ParameterModel start;
    start.band(kOutLeft, 0) = truth.band(kOutLeft, 0);
    start.band(kOutLeft, 1) = Band(EqType::Peq, 20, 120, 60);
    FitOptions o;
    o.keep[0] = true;
    FitProblem p(start, kOutLeft, DrawnNegative(truth, kOutLeft), FlatTarget(0.0), o);
    p.Search(1); // the shape bank
    FitState s = p.Start();
    ASSERT_GT(p.Report(s).rmsAfter, 1.0);
    ASSERT_TRUE(p.Replace(s, true));
    EXPECT_LT(p.Report(s).rmsAfter, 1e-6);
    EXPECT_EQ(s.bands[1], Indexes(truth.band(kOutLeft, 1)));
}

// A cookbook filter becomes the device band whose drawn curve is nearest: the same frequency
// and gain, about twice the Q (the device's bands are twice as wide for a Q).
TEST(FitSearch, aCookbookFilterBecomesTheBandOfTheNearestDrawnCurve) {
    const FitProblem p(ParameterModel{}, kOutLeft, FlatTarget(0.0), FlatTarget(0.0), {});
    // The fit's columns: the plot's within 20 Hz to 20 kHz.
    std::vector<double> hz;
    for (int x = kGraph.firstPlotColumn(); x <= kGraph.lastPlotColumn(); ++x) {
        const double f = PlotColumnAngles().frequency[static_cast<std::size_t>(x - 41)];
        if (f >= 20.0 && f <= 20000.0) hz.push_back(f);
    }
    struct Case {
        CookbookFilter filter;
        double deviceQ;
    };
    for (const Case& c : {Case{{1000.0, 6.0, 3.0}, 6.0}, Case{{150.0, -8.0, 1.0}, 2.0},
                          Case{{5000.0, 3.0, 8.0}, 16.0}}) {
        SCOPED_TRACE(c.filter.hz);
        const FitBand band = p.Converted(c.filter, CookbookCurve(c.filter, hz));
        EXPECT_EQ(band.type, static_cast<int>(EqType::Peq));
        EXPECT_NEAR(std::log2(FrequencyAt(band.freq) / c.filter.hz), 0.0, 0.05);
        EXPECT_NEAR(EqGainAt(band.gain), c.filter.gainDb, 0.25);
        EXPECT_NEAR(QAt(band.q) / c.deviceQ, 1.0, 0.1);
    }
}

// The answer does not depend on the threads, nor on whether the model's bands were asked for
// first (the limits they widen are set when the problem is made).
TEST(FitSearch, theSameAnswerOnAnyNumberOfThreadsAndWithoutStart) {
    const test::MadeUpMeasurement& room = test::kMadeUpMeasurements[1];
    const ResponseCurve measured = test::MeasuredColumns(room.file);
    ParameterModel m;
    // A shelf that already cuts more beyond the range than the fit's limit allows.
    m.band(kOutLeft, 7) = Band(EqType::HighShelf, 150, 30);
    FitOptions o = test::RangeOf(room);
    o.keep[7] = false;
    FitProblem first(m, kOutLeft, measured, FlatTarget(0.0), o);
    const FitState one = first.Search(1);
    FitProblem second(m, kOutLeft, measured, FlatTarget(0.0), o);
    second.Start();
    const FitState two = second.Search(2);
    EXPECT_EQ(one.bands, two.bands);
    EXPECT_EQ(one.cost, two.cost);
    EXPECT_LT(one.cost, first.Start().cost);
}

} // namespace
} // namespace zx
