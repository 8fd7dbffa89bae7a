#include <gtest/gtest.h>

#include "model/parameter_model.h"
#include "response/curve_kernel.h"
#include "response/response_curves.h"
#include "scalar_curves.h"

#include <cmath>
#include <limits>
#include <memory>
#include <random>

using namespace zx;
using zx::testing::ScalarBandCurve;
using zx::testing::ScalarSectionsCurve;

namespace {

constexpr double kTolerance = 1e-9;

// Largest difference over the plot columns; infinite when one curve is not finite where the
// other is, or differs in sign of infinity.
double MaxDifference(const ResponseCurve& a, const ResponseCurve& b) {
    double worst = 0.0;
    for (int x = kGraph.firstPlotColumn(); x <= kGraph.lastPlotColumn(); ++x) {
        const auto i = static_cast<std::size_t>(GraphGeometry::CurveIndex(x));
        if (a[i] == b[i] || (std::isnan(a[i]) && std::isnan(b[i]))) continue;
        worst = std::max(worst, std::abs(a[i] - b[i]));
        if (std::isnan(worst)) return std::numeric_limits<double>::infinity();
    }
    return worst;
}

ParameterModel RandomPreset(std::mt19937& rng) {
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution(lo, hi)(rng); };
    ParameterModel m;
    for (EqBandParams& b : m.bands) {
        b.type = static_cast<std::uint8_t>(pick(0, 2));
        b.freqIndex = static_cast<std::uint8_t>(pick(0, kMaxFrequencyIndex));
        b.qIndex = static_cast<std::uint8_t>(pick(0, 179));
        b.peakGainIndex = static_cast<std::uint16_t>(pick(0, 180));
        b.shelfGainIndex = static_cast<std::uint16_t>(pick(0, 180));
        RefreshHalves(b);
    }
    for (ChannelParams& c : m.channels) {
        // The switched-off ends come up often.
        c.hpfFreqIndex = static_cast<std::uint8_t>(pick(0, 3) == 0 ? 0 : pick(0, 240));
        c.lpfFreqIndex = static_cast<std::uint8_t>(pick(0, 3) == 0 ? 240 : pick(0, 240));
        c.hpfType = static_cast<std::uint8_t>(pick(0, 11));
        c.lpfType = static_cast<std::uint8_t>(pick(0, 11));
    }
    return m;
}

std::vector<CurveKernel> SupportedKernels() {
    std::vector<CurveKernel> out;
    for (CurveKernel k : {CurveKernel::Plain, CurveKernel::Avx2, CurveKernel::Avx512})
        if (CurveKernelSupported(k)) out.push_back(k);
    return out;
}

// The cascade through one kernel, written into a curve as the program writes it.
ResponseCurve KernelCurve(const CrossoverSections& sections, CurveKernel kernel) {
    std::array<BiquadSection, kCrossoverSections> used{};
    int count = 0;
    for (const BiquadSection& s : sections)
        if (!(s == BiquadSection{})) used[static_cast<std::size_t>(count++)] = NormaliseSection(s);
    const ColumnAngles& angles = PlotColumnAngles();
    const auto first =
        static_cast<std::size_t>(GraphGeometry::CurveIndex(kGraph.firstPlotColumn()));
    ResponseCurve curve{};
    CascadeCurve(used.data(), count, angles.cos.data() + first, angles.sin.data() + first,
                 curve.data() + first, static_cast<std::size_t>(kGraph.plotColumnCount()), kernel);
    return curve;
}

ResponseCurve Scalar(const CrossoverSections& sections) {
    ResponseCurve c{};
    ScalarSectionsCurve(sections, c);
    return c;
}

} // namespace

TEST(CurveEquivalence, everyCurveOfRandomPresetsMatchesTheScalarFormulas) {
    std::mt19937 rng(20261209);
    auto curves = std::make_unique<ResponseCurves>();
    auto expected = std::make_unique<ResponseCurve>();
    for (int preset = 0; preset < 60; ++preset) {
        const ParameterModel m = RandomPreset(rng);
        BandMarkers markers = InitialBandMarkers();
        RecomputeAllCurves(m, *curves, markers);
        for (std::size_t b = 0; b < m.bands.size(); ++b) {
            ScalarBandCurve(m.bands[b], markers[b], *expected);
            ASSERT_LE(MaxDifference(curves->bands[b], *expected), kTolerance)
                << "preset " << preset << " band " << b;
        }
        for (std::size_t ch = 0; ch < m.channels.size(); ++ch) {
            const ChannelParams& c = m.channels[ch];
            ScalarSectionsCurve(HighPassSections(c.hpfType, HighPassCutoff(c.hpfFreqIndex)),
                                *expected);
            ASSERT_LE(MaxDifference(curves->highPass[ch], *expected), kTolerance)
                << "preset " << preset << " high-pass " << ch;
            ScalarSectionsCurve(LowPassSections(c.lpfType, LowPassCutoff(c.lpfFreqIndex)),
                                *expected);
            ASSERT_LE(MaxDifference(curves->lowPass[ch], *expected), kTolerance)
                << "preset " << preset << " low-pass " << ch;
        }
    }
}

TEST(CurveEquivalence, everyKernelTheProcessorRunsMatchesOnEveryShapeAndType) {
    std::vector<CrossoverSections> cascades;
    for (int index : {0, 1, 57, 136, 200, 239, 240}) {
        const double f0 = kGraph.ColumnFrequency(kGraph.FrequencyToColumn(FrequencyAt(index)));
        for (double gain : {-23.8, -0.1, 0.0, 0.2, 11.9}) {
            cascades.push_back({PeakingSection(f0, gain, QAt(index % 180))});
            cascades.push_back({ShelfSection(EqType::LowShelf, f0, gain)});
            cascades.push_back({ShelfSection(EqType::HighShelf, f0, gain)});
        }
        for (int type = 0; type < static_cast<int>(kCrossoverTypeCount); ++type) {
            cascades.push_back(HighPassSections(type, HighPassCutoff(index)));
            cascades.push_back(LowPassSections(type, LowPassCutoff(index)));
        }
    }
    for (CurveKernel kernel : SupportedKernels()) {
        for (std::size_t i = 0; i < cascades.size(); ++i) {
            EXPECT_LE(MaxDifference(KernelCurve(cascades[i], kernel), Scalar(cascades[i])),
                      kTolerance)
                << CurveKernelName(kernel) << " cascade " << i;
        }
    }
}

TEST(CurveEquivalence, productsTheFastLogarithmRefusesGetTheLibraryValues) {
    const BiquadSection silent = {0.0, 0.0, 0.0, 1.0, 0.0, 0.0}; // magnitude 0
    const BiquadSection guarded = GuardLeadingCoefficient({1.0, -1.0, 0.0, 0.0, -1.0, 0.0});
    const BiquadSection tiny = {1e-160, 0.0, 0.0, 1.0, 0.0, 0.0}; // square underflows
    const BiquadSection undefined = {std::nan(""), 0.0, 0.0, 1.0, 0.0, 0.0};
    for (CurveKernel kernel : SupportedKernels()) {
        for (const CrossoverSections& sections :
             {CrossoverSections{silent}, CrossoverSections{guarded}, CrossoverSections{tiny},
              CrossoverSections{guarded, guarded, guarded, guarded},
              CrossoverSections{undefined}}) {
            EXPECT_LE(MaxDifference(KernelCurve(sections, kernel), Scalar(sections)), kTolerance)
                << CurveKernelName(kernel);
        }
        EXPECT_EQ(KernelCurve({silent}, kernel)[500], -std::numeric_limits<double>::infinity());
    }
}

TEST(CurveEquivalence, flatSectionsGiveExactZerosOnEveryKernel) {
    const BiquadSection flatPeak = PeakingSection(996.67, 0.0, 1.0);
    for (CurveKernel kernel : SupportedKernels()) {
        for (const CrossoverSections& sections :
             {CrossoverSections{flatPeak}, CrossoverSections{}}) {
            const ResponseCurve c = KernelCurve(sections, kernel);
            for (int x = kGraph.firstPlotColumn(); x <= kGraph.lastPlotColumn(); ++x)
                ASSERT_EQ(c[static_cast<std::size_t>(x - 41)], 0.0) << CurveKernelName(kernel);
        }
    }
}
