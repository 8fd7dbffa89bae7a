#include "fit/band_fit.h"
#include "fit/column_response.h"
#include "model/value_scales.h"

#include "cookbook_fit.h"
#include "measurements.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

namespace zx {
namespace {

using test::Band;
using test::DrawnNegative;
using test::kOutLeft;

TEST(BandFit, findsABandThatTheGraphDrewExactly) {
    struct Case {
        const char* name;
        EqBandParams band;
    };
    const Case cases[] = {
        {"peaking cut", Band(EqType::Peq, 100, 95, 9)},
        {"narrow peaking boost", Band(EqType::Peq, 170, 145, 30)},
        {"low shelf cut", Band(EqType::LowShelf, 60, 90)},
        {"high shelf boost", Band(EqType::HighShelf, 190, 140)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ParameterModel drawn;
        drawn.band(kOutLeft, 3) = c.band;
        const FitResult r = FitChannel(ParameterModel{}, kOutLeft, DrawnNegative(drawn, kOutLeft),
                                       FlatTarget(0.0), FitOptions{});
        ASSERT_TRUE(r.fitted);
        EXPECT_GT(r.report.rmsBefore, 0.3);
        EXPECT_LT(r.report.rmsAfter, 1e-6);
        // The band itself, in band 1 (the lowest placed band), the rest flat.
        const EqBandParams& found = r.bands[0];
        EXPECT_EQ(found.type, c.band.type);
        EXPECT_EQ(found.freqIndex, c.band.freqIndex);
        EXPECT_EQ(ActiveGainIndex(found), ActiveGainIndex(c.band));
        if (IsPeaking(c.band)) {
            EXPECT_EQ(found.qIndex, c.band.qIndex);
        }
        for (int b = 1; b < kBandsPerChannel; ++b) EXPECT_EQ(ActiveGainIndex(r.bands[b]), 120);
    }
}

TEST(BandFit, keptBandsStayAndTheRestFitAroundThem) {
    ParameterModel drawn;
    drawn.band(kOutLeft, 0) = Band(EqType::Peq, 60, 100, 6);
    drawn.band(kOutLeft, 1) = Band(EqType::Peq, 150, 135, 12);
    ParameterModel start;
    start.band(kOutLeft, 0) = drawn.band(kOutLeft, 0);
    start.band(kOutLeft, 5) = Band(EqType::HighShelf, 200, 60); // a band the fit may replace
    FitOptions o;
    o.keep[0] = true;
    const FitResult r =
        FitChannel(start, kOutLeft, DrawnNegative(drawn, kOutLeft), FlatTarget(0.0), o);
    EXPECT_EQ(r.bands[0], start.band(kOutLeft, 0));
    EXPECT_LT(r.report.rmsAfter, 1e-6);
    EXPECT_GT(r.report.rmsBefore, 1.0);
}

TEST(BandFit, respectsTheMostBoostAndTheShelvesSwitch) {
    const ResponseCurve measured = test::MeasuredColumns("room.frd");
    struct Case {
        double maxBoost;
        bool shelves;
    };
    for (const Case c : {Case{0.0, true}, Case{3.0, false}, Case{12.0, true}}) {
        FitOptions o;
        o.lowHz = 20.0;
        o.highHz = 2000.0;
        o.maxBoostDb = c.maxBoost;
        o.shelves = c.shelves;
        const FitResult r = FitChannel(ParameterModel{}, kOutLeft, measured, FlatTarget(0.0), o);
        EXPECT_LT(r.report.rmsAfter, r.report.rmsBefore);
        for (const EqBandParams& b : r.bands) {
            EXPECT_LE(EqGainAt(ActiveGainIndex(b)), c.maxBoost + 1e-9);
            if (!c.shelves) {
                EXPECT_EQ(b.type, static_cast<int>(EqType::Peq));
            }
        }
    }
}

TEST(BandFit, isDeterministicAndAppliesOnlyTheActiveGain) {
    const ResponseCurve measured = test::MeasuredColumns("subwoofer.csv");
    const FitOptions o = test::RangeOf(test::kMadeUpMeasurements[2]);
    ParameterModel m;
    for (int b = 0; b < kBandsPerChannel; ++b) m.band(kOutLeft, b).shelfGainIndex = 77;
    const FitResult first = FitChannel(m, kOutLeft, measured, FlatTarget(0.0), o);
    const FitResult second = FitChannel(m, kOutLeft, measured, FlatTarget(0.0), o);
    EXPECT_EQ(first.bands, second.bands);
    EXPECT_EQ(first.report.rmsAfter, second.report.rmsAfter);

    ApplyFit(first, kOutLeft, m);
    for (int b = 0; b < kBandsPerChannel; ++b) {
        const EqBandParams& band = m.band(kOutLeft, b);
        if (IsPeaking(band)) {
            EXPECT_EQ(band.shelfGainIndex, 77);
        }
        EXPECT_EQ(band.peakGainHalves.low, band.peakGainIndex & 0xFF);
    }
    // What the model now draws is what the fit reported.
    const FitReport now = MeasureFit(m, kOutLeft, measured, FlatTarget(0.0), o);
    EXPECT_NEAR(now.rmsAfter, first.report.rmsAfter, 1e-9);
    EXPECT_NEAR(now.offsetDb, first.report.offsetDb, 1e-9);
}

TEST(BandFit, aRangeWithoutMeasuredPointsFitsNothing) {
    ResponseCurve measured;
    measured.fill(std::nan(""));
    const FitResult r = FitChannel(ParameterModel{}, kOutLeft, measured, FlatTarget(0.0), {});
    EXPECT_FALSE(r.fitted);
    EXPECT_EQ(r.report.columns, 0);
    EXPECT_EQ(r.bands[2], ParameterModel{}.band(kOutLeft, 2));
}

TEST(BandFit, aHeldOffsetMatchesLevelsToo) {
    // The drawn response of a 3 dB channel gain, fitted with the offset held at 0: the bands
    // cannot make up a level, so some error remains, and none is reported as offset.
    ParameterModel drawn;
    drawn.channels[kOutLeft].gainIndex = 150;
    FitOptions o;
    o.levelOffset = false;
    const FitResult r =
        FitChannel(ParameterModel{}, kOutLeft, DrawnNegative(drawn, kOutLeft), FlatTarget(0.0), o);
    EXPECT_EQ(r.report.offsetDb, 0.0);
    EXPECT_NEAR(r.report.rmsBefore, 3.0, 1e-9);
    EXPECT_LT(r.report.rmsAfter, 3.0);
}

// Above the range, where the fit cannot see, the fitted bands move the channel's mean by no
// more than the most boost (at least 3 dB): with a high-pass inside a room's range, a shelf at
// the range's edge would otherwise cut everything above it by some 20 dB and let the bass be
// boosted against the high-pass.
TEST(BandFit, outsideTheRangeTheBandsKeepTheChannelsLevel) {
    struct Case {
        const char* name;
        int highPassIndex;
        double maxBoost;
    };
    const test::MadeUpMeasurement& room = test::kMadeUpMeasurements[1];
    const ResponseCurve measured = test::MeasuredColumns(room.file);
    for (const Case& c : {Case{"no high-pass", 0, 6.0}, Case{"high-pass in the range", 110, 6.0},
                          Case{"high-pass, little boost", 110, 2.0}}) {
        SCOPED_TRACE(c.name);
        constexpr ChannelId kOutRight = 3;
        ParameterModel m;
        m.channels[kOutRight].hpfFreqIndex = static_cast<std::uint8_t>(c.highPassIndex);
        m.channels[kOutRight].hpfType = 3;
        FitOptions o = test::RangeOf(room);
        o.maxBoostDb = c.maxBoost;
        const FitResult r = FitChannel(m, kOutRight, measured, FlatTarget(0.0), o);
        ASSERT_TRUE(r.fitted);
        ParameterModel fitted = m;
        ApplyFit(r, kOutRight, fitted);
        const ResponseCurve before = DrawnNegative(m, kOutRight);
        const ResponseCurve after = DrawnNegative(fitted, kOutRight);
        double sum = 0.0;
        int columns = 0;
        for (int x = kGraph.firstPlotColumn(); x <= kGraph.lastPlotColumn(); ++x) {
            const auto i = static_cast<std::size_t>(GraphGeometry::CurveIndex(x));
            if (PlotColumnAngles().frequency[i] <= room.highHz) continue;
            sum += before[i] - after[i];
            ++columns;
        }
        ASSERT_GT(columns, 100);
        EXPECT_LE(std::abs(sum / columns), std::max(c.maxBoost, 3.0) + 1e-6);
        EXPECT_LT(r.report.rmsAfter, r.report.rmsBefore);
    }
}

// The figures (RMS / largest error in dB), and the promise: on every made-up measurement the
// fit leaves less error than no EQ and than a continuous cookbook fit typed into the entry
// fields. A plain descent from the typed-in values is printed beside it.
TEST(BandFit, beatsNoEqAndTheCookbookFitTypedIn) {
    std::printf("%-16s %12s %12s %8s %12s %12s %12s\n", "measurement", "no EQ", "fit", "offset",
                "cookbook", "typed in", "descent");
    for (const test::MadeUpMeasurement& m : test::kMadeUpMeasurements) {
        SCOPED_TRACE(m.file);
        const ResponseCurve measured = test::MeasuredColumns(m.file);
        const ResponseCurve target = FlatTarget(0.0);
        const FitOptions o = test::RangeOf(m);
        const FitResult fit = FitChannel(ParameterModel{}, kOutLeft, measured, target, o);
        const test::CookbookFit cookbook = test::FitCookbook(measured, target, o);
        const ParameterModel typed = test::TypedIn(cookbook, kOutLeft);
        const FitReport typedIn = MeasureFit(typed, kOutLeft, measured, target, o);
        FitOptions descend = o;
        descend.descentOnly = true;
        const FitResult descent = FitChannel(typed, kOutLeft, measured, target, descend);
        std::printf("%-16s %5.2f/%5.2f %5.2f/%5.2f %8.2f %12.2f %5.2f/%5.2f %5.2f/%5.2f\n", m.file,
                    fit.report.rmsBefore, fit.report.maxBefore, fit.report.rmsAfter,
                    fit.report.maxAfter, fit.report.offsetDb, cookbook.rms, typedIn.rmsAfter,
                    typedIn.maxAfter, descent.report.rmsAfter, descent.report.maxAfter);
        EXPECT_LT(fit.report.rmsAfter, fit.report.rmsBefore);
        EXPECT_LT(fit.report.rmsAfter, typedIn.rmsAfter);
    }
}

} // namespace
} // namespace zx
