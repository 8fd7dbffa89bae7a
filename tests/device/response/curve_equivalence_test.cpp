#include <gtest/gtest.h>

#include "model/parameter_model.h"
#include "response/curve_kernel.h"
#include "response/response_curves.h"
#include "scalar_curves.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace zx;

namespace {

constexpr double kTolerance = 1e-9;
constexpr double kInf = std::numeric_limits<double>::infinity();

// Largest difference over the plot columns; equal infinities and two NaNs count as equal.
double MaxDifference(const ResponseCurve& a, const ResponseCurve& b) {
    double worst = 0.0;
    for (std::size_t i = 1; i <= static_cast<std::size_t>(kGraph.plotColumnCount()); ++i) {
        if (a[i] == b[i] || (std::isnan(a[i]) && std::isnan(b[i]))) continue;
        const double d = std::abs(a[i] - b[i]);
        worst = std::isnan(d) ? kInf : std::max(worst, d);
    }
    return worst;
}

ResponseCurve Scalar(const CrossoverSections& sections) {
    ResponseCurve c{};
    zx::testing::ScalarSectionsCurve(sections, c);
    return c;
}

// The cascade through one column loop, skipping identity sections as the program does.
ResponseCurve ThroughKernel(const CrossoverSections& sections, CurveKernel kernel) {
    CrossoverSections used{};
    int count = 0;
    for (const BiquadSection& s : sections)
        if (!(s == BiquadSection{})) used[static_cast<std::size_t>(count++)] = NormaliseSection(s);
    const ColumnAngles& a = PlotColumnAngles();
    ResponseCurve c{};
    CascadeCurve(used.data(), count, a.cos.data() + 1, a.sin.data() + 1, c.data() + 1,
                 static_cast<std::size_t>(kGraph.plotColumnCount()), kernel);
    return c;
}

} // namespace

// Every curve the program computes for random presets, the switched-off crossover ends
// often among them, against the scalar formulas.
TEST(CurveEquivalence, everyCurveOfRandomPresetsMatchesTheScalarFormulas) {
    std::mt19937 rng(20261209);
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution(lo, hi)(rng); };
    auto curves = std::make_unique<ResponseCurves>();
    ResponseCurve expected{};
    for (int preset = 0; preset < 60; ++preset) {
        ParameterModel m;
        for (EqBandParams& b : m.bands) {
            b = {static_cast<std::uint8_t>(pick(0, 240)),  static_cast<std::uint8_t>(pick(0, 2)),
                 static_cast<std::uint16_t>(pick(0, 180)), {},
                 static_cast<std::uint16_t>(pick(0, 180)), {},
                 static_cast<std::uint8_t>(pick(0, 179))};
        }
        for (ChannelParams& c : m.channels) {
            c.hpfFreqIndex = static_cast<std::uint8_t>(pick(0, 3) == 0 ? 0 : pick(0, 240));
            c.lpfFreqIndex = static_cast<std::uint8_t>(pick(0, 3) == 0 ? 240 : pick(0, 240));
            c.hpfType = static_cast<std::uint8_t>(pick(0, 11));
            c.lpfType = static_cast<std::uint8_t>(pick(0, 11));
        }
        BandMarkers markers = InitialBandMarkers();
        RecomputeAllCurves(m, *curves, markers);
        for (std::size_t b = 0; b < m.bands.size(); ++b) {
            zx::testing::ScalarBandCurve(m.bands[b], markers[b], expected);
            ASSERT_LE(MaxDifference(curves->bands[b], expected), kTolerance) << preset << " " << b;
        }
        for (std::size_t ch = 0; ch < m.channels.size(); ++ch) {
            const ChannelParams& c = m.channels[ch];
            ASSERT_LE(
                MaxDifference(curves->highPass[ch],
                              Scalar(HighPassSections(c.hpfType, HighPassCutoff(c.hpfFreqIndex)))),
                kTolerance)
                << preset << " high-pass " << ch;
            ASSERT_LE(
                MaxDifference(curves->lowPass[ch],
                              Scalar(LowPassSections(c.lpfType, LowPassCutoff(c.lpfFreqIndex)))),
                kTolerance)
                << preset << " low-pass " << ch;
        }
    }
}

// Each column loop this processor can run, on every shape and type, flat sections, the a0
// guard, and products the fast logarithm refuses (zero, below normal, not a number).
TEST(CurveEquivalence, everyKernelTheProcessorRunsMatchesOnEveryShapeAndEdge) {
    std::vector<CrossoverSections> cascades = {
        {BiquadSection{0.0, 0.0, 0.0, 1.0, 0.0, 0.0}},
        {BiquadSection{1e-160, 0.0, 0.0, 1.0, 0.0, 0.0}},
        {BiquadSection{std::nan(""), 0.0, 0.0, 1.0, 0.0, 0.0}},
        {GuardLeadingCoefficient({1.0, -1.0, 0.0, 0.0, -1.0, 0.0})},
        {PeakingSection(996.67, 0.0, 1.0)},
        {}};
    for (int index : {0, 1, 57, 136, 200, 239, 240}) {
        const double f0 = kGraph.ColumnFrequency(kGraph.FrequencyToColumn(FrequencyAt(index)));
        for (double gain : {-23.8, -0.1, 0.2, 11.9}) {
            cascades.push_back({PeakingSection(f0, gain, QAt(index % 180))});
            cascades.push_back({ShelfSection(EqType::LowShelf, f0, gain)});
            cascades.push_back({ShelfSection(EqType::HighShelf, f0, gain)});
        }
        for (int type = 0; type < static_cast<int>(kCrossoverTypeCount); ++type) {
            cascades.push_back(HighPassSections(type, HighPassCutoff(index)));
            cascades.push_back(LowPassSections(type, LowPassCutoff(index)));
        }
    }
    for (CurveKernel k : {CurveKernel::Plain, CurveKernel::Avx2, CurveKernel::Avx512}) {
        if (!CurveKernelSupported(k)) continue;
        for (std::size_t i = 0; i < cascades.size(); ++i) {
            EXPECT_LE(MaxDifference(ThroughKernel(cascades[i], k), Scalar(cascades[i])), kTolerance)
                << CurveKernelName(k) << " cascade " << i;
        }
        EXPECT_EQ(ThroughKernel(cascades[0], k)[500], -kInf);
        EXPECT_EQ(ThroughKernel(cascades[4], k), ResponseCurve{}) << "a flat band is exactly 0";
    }
}

// Every frequency index with each band shape at the extremes of Q and gain, and every
// crossover type at every frequency: the steep low corners, where the section terms cancel,
// are where a column loop parts from the scalar formulas first.
TEST(CurveEquivalence, everyKernelMatchesOverEveryFrequencyIndex) {
    std::vector<CrossoverSections> cascades;
    for (int index = 0; index <= kMaxFrequencyIndex; ++index) {
        const double f0 = kGraph.ColumnFrequency(kGraph.FrequencyToColumn(FrequencyAt(index)));
        for (int gainIndex : {0, 100, 119, 121, 180}) {
            const double gain = EqGainAt(gainIndex);
            for (int q : {0, 90, kMaxQIndex})
                cascades.push_back({PeakingSection(f0, gain, QAt(q))});
            cascades.push_back({ShelfSection(EqType::LowShelf, f0, gain)});
            cascades.push_back({ShelfSection(EqType::HighShelf, f0, gain)});
        }
        for (int type = 0; type < static_cast<int>(kCrossoverTypeCount); ++type) {
            cascades.push_back(HighPassSections(type, HighPassCutoff(index)));
            cascades.push_back(LowPassSections(type, LowPassCutoff(index)));
        }
    }
    std::vector<ResponseCurve> expected(cascades.size());
    for (std::size_t i = 0; i < cascades.size(); ++i) expected[i] = Scalar(cascades[i]);
    for (CurveKernel k : {CurveKernel::Plain, CurveKernel::Avx2, CurveKernel::Avx512}) {
        if (!CurveKernelSupported(k)) continue;
        double worst = 0.0;
        std::size_t worstAt = 0;
        for (std::size_t i = 0; i < cascades.size(); ++i) {
            const double d = MaxDifference(ThroughKernel(cascades[i], k), expected[i]);
            if (d > worst) {
                worst = d;
                worstAt = i;
            }
        }
        char worstText[32];
        std::snprintf(worstText, sizeof worstText, "%.3g", worst);
        RecordProperty(std::string("worst_") + CurveKernelName(k), worstText);
        EXPECT_LE(worst, kTolerance) << CurveKernelName(k) << " cascade " << worstAt;
    }
}
