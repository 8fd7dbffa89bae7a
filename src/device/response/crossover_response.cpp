#include "response/crossover_response.h"

#include "model/value_scales.h"
#include "response/biquad_design.h"
#include "response/curve_kernel.h"

#include <cmath>

namespace zx {
namespace {

// Damping values d = 1 / (2Q) per section; 0 marks an identity section. Several differ
// from their counterparts in the last digits (0.70422535 and 0.70422535211, the high-pass
// 0.98039126); the device uses each exactly as it is.
struct DampedTable {
    double k; // the Bessel types divide the cut-off by it first; 1 elsewhere
    std::array<double, kCrossoverSections> d;
};

// Bessel low-pass sections, the bilinear transform of 1 / (B s² + A s + 1); A = 0 marks an
// identity section, B = 0 a first-order one.
struct BesselTable {
    double k;
    std::array<std::array<double, 2>, kCrossoverSections> ab;
};

constexpr std::array<DampedTable, kCrossoverTypeCount> kLowPassDamped = {{
    {1.0, {0.70422535, 0, 0, 0}},
    {1.0, {1.0, 0, 0, 0}},
    {1.0, {0, 0, 0, 0}}, // Bessel
    {1.0, {1.0, 0.5, 0, 0}},
    {1.0, {1.0, 0.70422535211, 0, 0}},
    {1.0, {0, 0, 0, 0}}, // Bessel
    {1.0, {0.92592593, 0.38167939, 0, 0}},
    {1.0, {0.70422535211, 0.70422535211, 0, 0}},
    {1.0, {0, 0, 0, 0}}, // Bessel
    {1.0, {0.98039216, 0.83333333, 0.55555556, 0.1953125}},
    {1.0, {0.92592592593, 0.373134315, 0.92592592593, 0.373134315}},
    {1.0, {0, 0, 0, 0}}, // Bessel
}};

constexpr std::array<BesselTable, 4> kLowPassBessel = {{
    {1.3616541287, {{{1.0, 0.3333333333}, {0, 0}, {0, 0}, {0, 0}}}},
    {1.75567236868, {{{0.5693712514, 0.154812441}, {0.430628846, 0}, {0, 0}, {0, 0}}}},
    {2.1139176749, {{{0.369, 0.087858766}, {0.6278294896, 0.109408}, {0, 0}, {0, 0}}}},
    {3.17961723751,
     {{{0.117235677, 0.02064747},
       {0.226516664, 0.0259273886},
       {0.3067559, 0.0294683265},
       {0.3494916166, 0.031272257}}}},
}};

constexpr std::array<DampedTable, kCrossoverTypeCount> kHighPass = {{
    {1.0, {0.70422535, 0, 0, 0}},
    {1.0, {1.0, 0, 0, 0}},
    {1.2683112435, {0.70422535, 0, 0, 0}},
    {1.0, {1.0, 0.5, 0, 0}},
    {1.0, {1.0, 0.70422535211, 0, 0}},
    {1.2854981442, {0.756, 0.72463768, 0, 0}},
    {1.0, {0.92592593, 0.38167939, 0, 0}},
    {1.0, {0.70422535211, 0.70422535211, 0, 0}},
    {1.5006420029, {0.96153846, 0.61728395, 0, 0}},
    {1.0, {0.98039126, 0.83333333, 0.55555556, 0.1953125}},
    {1.0, {0.92592592593, 0.373134315, 0.92592592593, 0.373134315}},
    {1.679120141, {0.98039216, 0.89285714, 0.70422535, 0.40650406}},
}};

constexpr bool IsBessel(int type) {
    return type == 2 || type == 5 || type == 8 || type == 11;
}

} // namespace

BiquadSection GuardLeadingCoefficient(BiquadSection s) {
    if (s.a0 == 0.0) s.a0 = 1e-10;
    return s;
}

double HighPassCutoff(int freqIndex) {
    return freqIndex == 0 ? 1.0 : FrequencyAt(freqIndex);
}

double LowPassCutoff(int freqIndex) {
    return freqIndex == kMaxFrequencyIndex ? 60000.0 : FrequencyAt(freqIndex);
}

CrossoverSections LowPassSections(int type, double fc) {
    CrossoverSections out{};
    if (type < 0 || type >= static_cast<int>(kCrossoverTypeCount)) return out;
    if (IsBessel(type)) {
        const BesselTable& t = kLowPassBessel[static_cast<std::size_t>(type / 3)];
        const double tn = std::tan(fc / t.k * kCornerAngle / 2.0);
        const double t2 = tn * tn;
        for (std::size_t i = 0; i < out.size(); ++i) {
            const double a = t.ab[i][0];
            const double b = t.ab[i][1];
            if (a == 0.0) continue;
            out[i] = GuardLeadingCoefficient(
                {t2, 2 * t2, t2, a * tn + t2 + b, 2 * t2 - 2 * b, t2 - a * tn + b});
        }
        return out;
    }
    const double w = fc * kCornerAngle;
    const double c = std::cos(w);
    const double s = std::sin(w);
    const double tn = std::tan(w / 2.0);
    const DampedTable& t = kLowPassDamped[static_cast<std::size_t>(type)];
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double d = t.d[i];
        if (d == 0.0) continue;
        if (i == 0 && (type == 3 || type == 4)) {
            out[i] = GuardLeadingCoefficient({tn, tn, 0.0, tn + d, tn - d, 0.0});
            continue;
        }
        out[i] = GuardLeadingCoefficient(CookbookPass(false, c, s * d));
    }
    return out;
}

CrossoverSections HighPassSections(int type, double fc) {
    CrossoverSections out{};
    if (type < 0 || type >= static_cast<int>(kCrossoverTypeCount)) return out;
    const DampedTable& t = kHighPass[static_cast<std::size_t>(type)];
    const double w = (IsBessel(type) ? fc / t.k : fc) * kCornerAngle;
    const double c = std::cos(w);
    const double s = std::sin(w);
    const double tn = std::tan(w / 2.0);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double d = t.d[i];
        if (d == 0.0) continue;
        if (i == 0 && (type == 3 || type == 4 || type == 5)) {
            out[i] = GuardLeadingCoefficient({1.0, -1.0, 0.0, d * tn + 1.0, d * tn - 1.0, 0.0});
            continue;
        }
        out[i] = GuardLeadingCoefficient(CookbookPass(true, c, s * d));
    }
    return out;
}

void ComputeSectionsCurve(const CrossoverSections& sections, ResponseCurve& curve) {
    std::array<BiquadSection, kCrossoverSections> used{};
    std::size_t count = 0;
    for (const BiquadSection& s : sections) {
        // An identity section adds exactly 0.
        if (s == BiquadSection{}) continue;
        used[count++] = NormaliseSection(s);
    }
    const ColumnAngles& angles = PlotColumnAngles();
    const auto first =
        static_cast<std::size_t>(GraphGeometry::CurveIndex(kGraph.firstPlotColumn()));
    const auto last = static_cast<std::size_t>(GraphGeometry::CurveIndex(kGraph.lastPlotColumn()));
    // The sum of the sections' curve values, as one logarithm of their product (no product
    // of up to four sections comes near the limits of a double here).
    CascadeCurve(used.data(), static_cast<int>(count), angles.cos.data() + first,
                 angles.sin.data() + first, curve.data() + first, last - first + 1);
}

void ComputeHighPassResponse(int freqIndex, int type, ResponseCurve& curve) {
    ComputeSectionsCurve(HighPassSections(type, HighPassCutoff(freqIndex)), curve);
}

void ComputeLowPassResponse(int freqIndex, int type, ResponseCurve& curve) {
    ComputeSectionsCurve(LowPassSections(type, LowPassCutoff(freqIndex)), curve);
}

} // namespace zx
