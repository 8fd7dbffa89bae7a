#include <gtest/gtest.h>

#include "model/value_scales.h"
#include "response/crossover_response.h"
#include "response/graph_geometry.h"

#include <cmath>

using namespace zx;

namespace {

constexpr int kFirst = 42;
constexpr int kLast = 930;

double At(const ResponseCurve& c, int column) {
    return c[static_cast<std::size_t>(column - 41)];
}

ResponseCurve LowPass(int index, int type) {
    ResponseCurve c{};
    ComputeLowPassResponse(index, type, c);
    return c;
}
ResponseCurve HighPass(int index, int type) {
    ResponseCurve c{};
    ComputeHighPassResponse(index, type, c);
    return c;
}

int ColumnNear(double hz) {
    int best = kFirst;
    for (int x = kFirst; x <= kLast; ++x)
        if (std::abs(kGraph.ColumnFrequency(x) - hz) < std::abs(kGraph.ColumnFrequency(best) - hz))
            best = x;
    return best;
}

} // namespace

TEST(CrossoverResponse, valuesAtTheCutOffColumnOfOneKilohertz) {
    struct Case {
        int type;
        double lowPass;
        double highPass;
    };
    const Case cases[] = {{0, -2.94, -3.00}, {1, -5.98, -6.04}, {2, -2.98, -1.40},
                          {3, -2.96, -3.05}, {6, -2.94, -3.06}, {7, -5.88, -5.99},
                          {9, -2.92, -3.15}, {11, -2.99, -3.04}};
    for (const Case& c : cases) {
        EXPECT_NEAR(At(LowPass(136, c.type), 555), c.lowPass, 0.006) << c.type;
        EXPECT_NEAR(At(HighPass(136, c.type), 555), c.highPass, 0.006) << c.type;
    }
}

TEST(CrossoverResponse, slopesOneOctaveAboveTheCutOff) {
    const int column = ColumnNear(2000.0);
    EXPECT_NEAR(At(LowPass(136, 0), column), -12.2, 0.05);
    EXPECT_NEAR(At(LowPass(136, 6), column), -24.0, 0.05);
    EXPECT_NEAR(At(LowPass(136, 9), column), -47.9, 0.05);
}

TEST(CrossoverResponse, steepTypesAreStoredUnclipped) {
    for (int type : {9, 10}) {
        EXPECT_NEAR(At(LowPass(136, type), ColumnNear(10000.0)), -162.0, 1.0) << type;
        EXPECT_LT(At(HighPass(136, type), ColumnNear(100.0)), -155.0) << type;
    }
}

TEST(CrossoverResponse, firstHighPassIndexSwitchesTheFilterOff) {
    EXPECT_EQ(HighPassCutoff(0), 1.0);
    EXPECT_EQ(HighPassCutoff(1), 20.3);
    for (int type = 0; type < 12; ++type) {
        const ResponseCurve c = HighPass(0, type);
        for (int x = kFirst; x <= kLast; ++x) {
            // "between 0.0 and -0.09" to the two decimals the value is read with.
            ASSERT_LE(At(c, x), 0.005) << type << " " << x;
            ASSERT_GE(At(c, x), -0.09) << type << " " << x;
        }
    }
}

TEST(CrossoverResponse, lastLowPassIndexIsAboveHalfTheRateAndStaysFinite) {
    EXPECT_EQ(LowPassCutoff(240), 60000.0);
    EXPECT_EQ(LowPassCutoff(239), 19500.0);
    for (int type = 0; type < 12; ++type) {
        const ResponseCurve c = LowPass(240, type);
        for (int x = kFirst; x <= kLast; ++x) ASSERT_TRUE(std::isfinite(At(c, x))) << type;
    }
    EXPECT_NEAR(At(LowPass(240, 0), kLast), -0.46, 0.005);
    EXPECT_NEAR(At(LowPass(240, 1), kLast), -2.56, 0.005);
}

TEST(CrossoverResponse, tableValuesApplyExactlyAsListed) {
    // The high-pass 48db-Bworth's first damping is 0.98039126, the low-pass's 0.98039216.
    const double fc = 1000.0;
    const double w = fc * 0.00006544985;
    const CrossoverSections hp = HighPassSections(9, fc);
    const CrossoverSections lp = LowPassSections(9, fc);
    EXPECT_DOUBLE_EQ(hp[0].a0, 1.0 + std::sin(w) * 0.98039126);
    EXPECT_DOUBLE_EQ(lp[0].a0, 1.0 + std::sin(w) * 0.98039216);
    // 12db-Bworth uses 0.70422535, the 24db-LR 0.70422535211.
    EXPECT_DOUBLE_EQ(LowPassSections(0, fc)[0].a2, 1.0 - std::sin(w) * 0.70422535);
    EXPECT_DOUBLE_EQ(LowPassSections(7, fc)[1].a2, 1.0 - std::sin(w) * 0.70422535211);
    // Bessel types divide the cut-off first.
    const double t = std::tan(fc / 1.3616541287 * 0.00006544985 / 2.0);
    const BiquadSection bessel = LowPassSections(2, fc)[0];
    EXPECT_DOUBLE_EQ(bessel.b0, t * t);
    EXPECT_DOUBLE_EQ(bessel.a0, 1.0 * t + t * t + 0.3333333333);
    const double wh = fc / 1.2683112435 * 0.00006544985;
    EXPECT_DOUBLE_EQ(HighPassSections(2, fc)[0].b0, (1.0 + std::cos(wh)) / 2.0);
}

TEST(CrossoverResponse, sectionCountsAndFirstOrderSections) {
    struct Case {
        int type;
        int lowPass;
        int highPass;
    };
    const Case cases[] = {{0, 1, 1}, {1, 1, 1}, {2, 1, 1}, {3, 2, 2}, {4, 2, 2},  {5, 2, 2},
                          {6, 2, 2}, {7, 2, 2}, {8, 2, 2}, {9, 4, 4}, {10, 4, 4}, {11, 4, 4}};
    const auto used = [](const CrossoverSections& s) {
        int n = 0;
        for (const BiquadSection& x : s) n += x == BiquadSection{} ? 0 : 1;
        return n;
    };
    for (const Case& c : cases) {
        EXPECT_EQ(used(LowPassSections(c.type, 1000.0)), c.lowPass) << c.type;
        EXPECT_EQ(used(HighPassSections(c.type, 1000.0)), c.highPass) << c.type;
    }
    for (int type : {3, 4}) EXPECT_EQ(LowPassSections(type, 1000.0)[0].a2, 0.0);
    for (int type : {3, 4, 5}) {
        EXPECT_EQ(HighPassSections(type, 1000.0)[0].b0, 1.0);
        EXPECT_EQ(HighPassSections(type, 1000.0)[0].b1, -1.0);
    }
    // The Bessel 18db's second section has B = 0: first order, a1 = 2T² with no B term.
    const CrossoverSections bessel18 = LowPassSections(5, 1000.0);
    const double t = std::tan(1000.0 / 1.75567236868 * 0.00006544985 / 2.0);
    EXPECT_DOUBLE_EQ(bessel18[1].a1, 2 * t * t);
    EXPECT_EQ(used(LowPassSections(12, 1000.0)), 0);
    EXPECT_EQ(used(HighPassSections(-1, 1000.0)), 0);
}

TEST(CrossoverResponse, zeroLeadingCoefficientIsReplacedByATinyOne) {
    EXPECT_EQ(GuardLeadingCoefficient({1, 2, 3, 0.0, 4, 5}).a0, 1e-10);
    EXPECT_EQ(GuardLeadingCoefficient({1, 2, 3, -0.0, 4, 5}).a0, 1e-10);
    const BiquadSection s{1, 2, 3, 1e-300, 4, 5};
    EXPECT_EQ(GuardLeadingCoefficient(s), s);
}

// The per-column evaluation against the direct formula: the sum over the sections of
// CurveDb(BiquadMagnitude(section, w)) at w = 2π f / 96000.
TEST(CrossoverResponse, curvesAgreeWithTheDirectFormulas) {
    for (int type = 0; type < 12; ++type) {
        for (int index : {1, 57, 136, 200, 239}) {
            const double fc = FrequencyAt(index);
            const CrossoverSections lp = LowPassSections(type, fc);
            const CrossoverSections hp = HighPassSections(type, fc);
            const ResponseCurve lpCurve = LowPass(index, type);
            const ResponseCurve hpCurve = HighPass(index, type);
            for (int x = kFirst; x <= kLast; ++x) {
                const double w = 6.283185307179586 * kGraph.ColumnFrequency(x) / 96000.0;
                double lpSum = 0.0, hpSum = 0.0;
                for (const BiquadSection& s : lp) lpSum += CurveDb(BiquadMagnitude(s, w));
                for (const BiquadSection& s : hp) hpSum += CurveDb(BiquadMagnitude(s, w));
                ASSERT_NEAR(At(lpCurve, x), lpSum, 1e-8) << type << " " << index << " " << x;
                ASSERT_NEAR(At(hpCurve, x), hpSum, 1e-8) << type << " " << index << " " << x;
            }
        }
    }
}
