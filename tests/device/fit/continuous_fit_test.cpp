#include "fit/continuous_fit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace zx {
namespace {

std::vector<double> ThirdOctaves(double from, double to) {
    std::vector<double> hz;
    for (double f = from; f <= to; f *= std::exp2(1.0 / 12.0)) hz.push_back(f);
    return hz;
}

// A residual made of filters' curves, negated, plus a level: the fit finds the filters again.
TEST(ContinuousFit, findsTheFiltersAResidualIsMadeOf) {
    struct Case {
        const char* name;
        std::vector<CookbookFilter> filters;
    };
    const Case cases[] = {
        {"one boost", {{1000.0, 6.0, 2.0}}},
        {"a cut and a wide boost", {{120.0, -9.0, 4.0}, {3000.0, 3.0, 0.7}}},
        {"two overlapping", {{400.0, -6.0, 3.0}, {600.0, 4.0, 1.5}}},
    };
    const std::vector<double> hz = ThirdOctaves(20.0, 20000.0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ContinuousProblem p;
        p.hz = hz;
        p.residual.assign(hz.size(), 75.0);
        for (const CookbookFilter& f : c.filters) {
            const std::vector<double> curve = CookbookCurve(f, hz);
            for (std::size_t i = 0; i < hz.size(); ++i) p.residual[i] -= curve[i];
        }
        const std::vector<CookbookFilter> found =
            FitCookbookFilters(p, static_cast<int>(c.filters.size()));
        ASSERT_EQ(found.size(), c.filters.size());
        for (const CookbookFilter& want : c.filters) {
            const auto it = std::find_if(found.begin(), found.end(), [&](const CookbookFilter& f) {
                return std::abs(std::log2(f.hz / want.hz)) < 0.01;
            });
            ASSERT_NE(it, found.end()) << want.hz;
            EXPECT_NEAR(it->gainDb, want.gainDb, 0.01);
            EXPECT_NEAR(it->q, want.q, 0.01 * want.q);
        }
    }
}

TEST(ContinuousFit, keepsGainsWithinTheLimits) {
    const std::vector<double> hz = ThirdOctaves(20.0, 20000.0);
    ContinuousProblem p;
    p.hz = hz;
    const std::vector<double> dip = CookbookCurve({800.0, -15.0, 2.0}, hz);
    for (double v : dip) p.residual.push_back(v); // a 15 dB dip, to be filled
    p.highDb = 6.0;
    const std::vector<CookbookFilter> found = FitCookbookFilters(p, 1);
    ASSERT_EQ(found.size(), 1U);
    EXPECT_LE(found[0].gainDb, 6.0);
    EXPECT_GT(found[0].gainDb, 5.0);
}

} // namespace
} // namespace zx
