#include "fit/column_response.h"
#include "fit/fit_text.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zx {
namespace {

double At(const ResponseCurve& c, double hz) {
    return c[static_cast<std::size_t>(GraphGeometry::CurveIndex(kGraph.FrequencyToColumn(hz)))];
}

MeasurementCurve LogSweep(double from, double to, int perOctave, double (*level)(double)) {
    MeasurementCurve c;
    for (double f = from; f <= to; f *= std::pow(2.0, 1.0 / perOctave)) {
        c.hz.push_back(f);
        c.db.push_back(level(f));
    }
    return c;
}

TEST(ColumnResponse, smoothingSpreadsANarrowPeakOverItsWidth) {
    // A 12 dB spike three points wide at 1 kHz in a 1/96-octave sweep.
    const MeasurementCurve spike = LogSweep(20.0, 20000.0, 96, [](double f) {
        return std::abs(std::log2(f / 1000.0)) < 0.02 ? 92.0 : 80.0;
    });
    struct Case {
        int n;
        double peakAbove; // least height at 1 kHz
        double peakBelow;
    };
    for (const Case c : {Case{0, 11.0, 12.5}, Case{6, 1.0, 3.5}, Case{1, 0.2, 0.6}}) {
        SCOPED_TRACE(c.n);
        const ResponseCurve smoothed = MeasurementOnColumns(spike, c.n);
        const double peak = At(smoothed, 1000.0) - 80.0;
        EXPECT_GT(peak, c.peakAbove);
        EXPECT_LT(peak, c.peakBelow);
        EXPECT_NEAR(At(smoothed, 100.0), 80.0, 1e-9);
    }
}

// A tent over log frequency: 0 dB at 500 Hz and 2 kHz, 6 dB at 1 kHz. Its mean over a window
// [l - w, l + w] (log2 Hz) by hand, at the column's exact frequency: inside the tent,
// 6 (1 - w/2 - d²/(2w)) with d the distance from 1 kHz in octaves (|d| + w <= 1); on one
// side of the top, the value at the window's centre.
TEST(ColumnResponse, smoothingIsTheWindowsMeanOfTheLogInterpolant) {
    const MeasurementCurve tent{QString(), {500.0, 1000.0, 2000.0}, {0.0, 6.0, 0.0}};
    struct Case {
        const char* name;
        int n;
        double hz;
        double (*expected)(double d, double w); // d: octaves from 1 kHz, w: half the window
    };
    const auto inside = [](double d, double w) {
        return 6.0 * (1.0 - w / 2.0 - d * d / (2.0 * w));
    };
    const auto side = [](double d, double) { return 6.0 * (1.0 - std::abs(d)); };
    const Case cases[] = {
        {"no smoothing", 0, 900.0, side},
        {"no smoothing, near the first point", 0, 510.0, side},
        {"octave, at the top", 1, 1000.0, inside},
        {"octave, its window at the first point", 1, 710.0, inside},
        {"third octave, below the top", 3, 800.0, side},
        {"third octave, above the top", 3, 1300.0, side},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto i =
            static_cast<std::size_t>(GraphGeometry::CurveIndex(kGraph.FrequencyToColumn(c.hz)));
        const double d = std::log2(PlotColumnAngles().frequency[i] / 1000.0);
        const double w = c.n > 0 ? 0.5 / c.n : 0.0;
        EXPECT_NEAR(MeasurementOnColumns(tent, c.n)[i], c.expected(d, w), 1e-9);
    }
    // A column counts only where its whole window lies within the points.
    struct End {
        int n;
        double hz;
        bool known;
    };
    for (const End e :
         {End{0, 490.0, false}, End{0, 2050.0, false}, End{3, 530.0, false}, End{3, 570.0, true},
          End{3, 1870.0, false}, End{3, 1760.0, true}, End{1, 690.0, false}}) {
        SCOPED_TRACE(e.hz);
        EXPECT_EQ(std::isfinite(At(MeasurementOnColumns(tent, e.n), e.hz)), e.known);
    }
}

TEST(ColumnResponse, denseLinearStepsAverageAndTheEndsStayUnknown) {
    // 1 Hz steps from 100 Hz to 5 kHz with an alternating ±1 dB ripple: averaged away at the
    // top, where many points share a column.
    MeasurementCurve c;
    for (int f = 100; f <= 5000; ++f) {
        c.hz.push_back(f);
        c.db.push_back(f % 2 == 0 ? 71.0 : 69.0);
    }
    const ResponseCurve columns = MeasurementOnColumns(c, 6);
    EXPECT_NEAR(At(columns, 3000.0), 70.0, 0.05);
    EXPECT_TRUE(std::isnan(At(columns, 50.0)));
    EXPECT_TRUE(std::isnan(At(columns, 10000.0)));
    EXPECT_FALSE(std::isnan(At(columns, 110.0)));
}

TEST(ColumnResponse, targetsTiltAbout1kHz) {
    const ResponseCurve flat = FlatTarget(0.0);
    const ResponseCurve tilted = FlatTarget(-0.5);
    EXPECT_EQ(At(flat, 100.0), 0.0);
    EXPECT_NEAR(At(tilted, 1000.0), 0.0, 0.02);
    // Column frequencies are not exactly 2 kHz and 250 Hz.
    EXPECT_NEAR(At(tilted, 2000.0), -0.5, 0.02);
    EXPECT_NEAR(At(tilted, 250.0), 1.0, 0.02);
    const MeasurementCurve file{QString(), {100.0, 1000.0}, {3.0, 0.0}};
    const ResponseCurve fromFile = TargetOnColumns(file, 1.0);
    EXPECT_NEAR(At(fromFile, 1000.0), 0.0, 0.1);
    EXPECT_TRUE(std::isnan(At(fromFile, 5000.0)));
}

TEST(FitText, rangesAndKeepListsAsTyped) {
    struct Range {
        const char* text;
        bool valid;
        double low, high;
    };
    for (const Range r :
         {Range{"20-20000", true, 20, 20000}, Range{"40.5-16000", true, 40.5, 16000},
          Range{"20", false, 0, 0}, Range{"200-20", false, 0, 0}, Range{"0-100", false, 0, 0},
          Range{"a-b", false, 0, 0}, Range{"-20-200", false, 0, 0}}) {
        SCOPED_TRACE(r.text);
        const auto got = ReadFitRange(QString::fromLatin1(r.text));
        ASSERT_EQ(got.has_value(), r.valid);
        if (got) {
            EXPECT_EQ(*got, (std::pair{r.low, r.high}));
        }
    }
    struct Keep {
        const char* text;
        bool valid;
        std::array<bool, kBandsPerChannel> keep;
    };
    for (const Keep k : {Keep{"1,2", true, {true, true}},
                         Keep{"8", true, {false, false, false, false, false, false, false, true}},
                         Keep{"0", false, {}}, Keep{"9", false, {}}, Keep{"1,,2", false, {}},
                         Keep{"", false, {}}}) {
        SCOPED_TRACE(k.text);
        const auto got = ReadKeepList(QString::fromLatin1(k.text));
        ASSERT_EQ(got.has_value(), k.valid);
        if (got) {
            EXPECT_EQ(*got, k.keep);
        }
    }
}

} // namespace
} // namespace zx
