#pragma once

#include "response/eq_response.h"
#include "response/graph_geometry.h"

#include <array>

namespace zx {

inline constexpr int kCrossoverSections = 4;
using CrossoverSections = std::array<BiquadSection, kCrossoverSections>;

// The cut-off a filter is computed with: the first high-pass index and the last low-pass
// index switch the filter off (1 Hz and 60000 Hz); every other index uses its table value.
double HighPassCutoff(int freqIndex);
double LowPassCutoff(int freqIndex);

// The four sections of a crossover type (0..11) at cut-off fc in Hz; unused sections are
// identity sections, and so are all four for a type outside 0..11.
CrossoverSections LowPassSections(int type, double fc);
CrossoverSections HighPassSections(int type, double fc);

// A section whose computed a0 is exactly 0 is evaluated with a0 = 1e-10.
BiquadSection GuardLeadingCoefficient(BiquadSection s);

// Sum over the sections of their curve decibels, per plot column.
void ComputeSectionsCurve(const CrossoverSections& sections, ResponseCurve& curve);
void ComputeHighPassResponse(int freqIndex, int type, ResponseCurve& curve);
void ComputeLowPassResponse(int freqIndex, int type, ResponseCurve& curve);

} // namespace zx
