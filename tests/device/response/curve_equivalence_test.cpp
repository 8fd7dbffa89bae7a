#include <gtest/gtest.h>

#include "model/parameter_model.h"
#include "response/curve_kernel.h"
#include "response/response_curves.h"
#include "scalar_curves.h"

#include <hwy/targets.h>

#include <cmath>
#include <cstdint>
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

// The cascade through the column loop, skipping identity sections as the program does.
ResponseCurve ThroughKernel(const CrossoverSections& sections) {
    CrossoverSections used{};
    int count = 0;
    for (const BiquadSection& s : sections)
        if (!(s == BiquadSection{})) used[static_cast<std::size_t>(count++)] = NormaliseSection(s);
    const ColumnAngles& a = PlotColumnAngles();
    ResponseCurve c{};
    CascadeCurve(used.data(), count, a.cos.data() + 1, a.sin.data() + 1, c.data() + 1,
                 static_cast<std::size_t>(kGraph.plotColumnCount()));
    return c;
}

// Runs check(name) once for every vector unit the column loop was built for and this
// processor runs, with the loop made to run on that unit. The units run and those this
// processor lacks are printed and recorded with the test.
template <class Check> void ForEachTarget(Check check) {
    std::string ran;
    for (const std::int64_t target : hwy::SupportedAndGeneratedTargets()) {
        const char* name = hwy::TargetName(target);
        hwy::SetSupportedTargetsForTest(target);
        EXPECT_STREQ(CurveKernelTarget(), name) << "the loop was not built for " << name;
        check(name);
        hwy::SetSupportedTargetsForTest(0);
        ran += std::string(ran.empty() ? "" : " ") + name;
    }
    std::string lacking;
    for (std::int64_t built = HWY_TARGETS & ~hwy::SupportedTargets(); built != 0;
         built &= built - 1) {
        lacking += std::string(lacking.empty() ? "" : " ") + hwy::TargetName(built & -built);
    }
    std::printf("column loop ran on: %s; not on this processor: %s\n", ran.c_str(),
                lacking.empty() ? "none" : lacking.c_str());
    ::testing::Test::RecordProperty("targets_run", ran);
    ::testing::Test::RecordProperty("targets_not_on_this_processor", lacking);
}

} // namespace

// Every curve the program computes for random presets, the switched-off crossover ends
// often among them, against the scalar formulas.
TEST(CurveEquivalence, everyCurveOfRandomPresetsMatchesTheScalarFormulas) {
    std::mt19937 rng(20261209);
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution(lo, hi)(rng); };
    std::vector<ParameterModel> presets(60);
    for (ParameterModel& m : presets) {
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
    }
    auto curves = std::make_unique<ResponseCurves>();
    ResponseCurve expected{};
    ForEachTarget([&](const char* target) {
        for (std::size_t preset = 0; preset < presets.size(); ++preset) {
            const ParameterModel& m = presets[preset];
            BandMarkers markers = InitialBandMarkers();
            RecomputeAllCurves(m, *curves, markers);
            for (std::size_t b = 0; b < m.bands.size(); ++b) {
                zx::testing::ScalarBandCurve(m.bands[b], markers[b], expected);
                ASSERT_LE(MaxDifference(curves->bands[b], expected), kTolerance)
                    << target << " preset " << preset << " band " << b;
            }
            for (std::size_t ch = 0; ch < m.channels.size(); ++ch) {
                const ChannelParams& c = m.channels[ch];
                ASSERT_LE(MaxDifference(
                              curves->highPass[ch],
                              Scalar(HighPassSections(c.hpfType, HighPassCutoff(c.hpfFreqIndex)))),
                          kTolerance)
                    << target << " preset " << preset << " high-pass " << ch;
                ASSERT_LE(MaxDifference(
                              curves->lowPass[ch],
                              Scalar(LowPassSections(c.lpfType, LowPassCutoff(c.lpfFreqIndex)))),
                          kTolerance)
                    << target << " preset " << preset << " low-pass " << ch;
            }
        }
    });
}

// The column loop on each vector unit this processor runs, on every shape and type, flat
// sections, the a0 guard, and products the vector loop refuses (zero, below normal, not a
// number, beyond the largest double).
TEST(CurveEquivalence, everyTargetTheProcessorRunsMatchesOnEveryShapeAndEdge) {
    std::vector<CrossoverSections> cascades = {
        {BiquadSection{0.0, 0.0, 0.0, 1.0, 0.0, 0.0}},
        {BiquadSection{1e-160, 0.0, 0.0, 1.0, 0.0, 0.0}},
        {BiquadSection{std::nan(""), 0.0, 0.0, 1.0, 0.0, 0.0}},
        {GuardLeadingCoefficient({1.0, -1.0, 0.0, 0.0, -1.0, 0.0})},
        {PeakingSection(996.67, 0.0, 1.0)},
        {},
        // Products beyond the largest double: +inf dB in every column.
        {BiquadSection{1e90, 0.0, 0.0, 1.0, 0.0, 0.0},
         BiquadSection{1e90, 0.0, 0.0, 1.0, 0.0, 0.0}}};
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
    ForEachTarget([&](const char* target) {
        for (std::size_t i = 0; i < cascades.size(); ++i) {
            EXPECT_LE(MaxDifference(ThroughKernel(cascades[i]), Scalar(cascades[i])), kTolerance)
                << target << " cascade " << i;
        }
        EXPECT_EQ(ThroughKernel(cascades[0])[500], -kInf) << target;
        EXPECT_EQ(ThroughKernel(cascades[4]), ResponseCurve{}) << target << ": a flat band is 0";
    });
}

// Every frequency index with each band shape at the extremes of Q and gain, and every
// crossover type at every frequency: the steep low corners, where the section terms cancel,
// are where the column loop parts from the scalar formulas first.
TEST(CurveEquivalence, everyTargetMatchesOverEveryFrequencyIndex) {
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
    ForEachTarget([&](const char* target) {
        double worst = 0.0;
        std::size_t worstAt = 0;
        for (std::size_t i = 0; i < cascades.size(); ++i) {
            const double d = MaxDifference(ThroughKernel(cascades[i]), expected[i]);
            if (d > worst) {
                worst = d;
                worstAt = i;
            }
        }
        char worstText[32];
        std::snprintf(worstText, sizeof worstText, "%.3g", worst);
        std::printf("%s: worst difference %s dB\n", target, worstText);
        RecordProperty(std::string("worst_") + target, worstText);
        EXPECT_LE(worst, kTolerance) << target << " cascade " << worstAt;
    });
}
