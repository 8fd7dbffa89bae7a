#pragma once

#include "response/eq_response.h"

#include <cstddef>

namespace zx {

inline constexpr int kMaxCascadeSections = 4;

// The curve decibels of a cascade of 0..4 sections, each already divided through by its a0,
// at n columns given by the cosine and sine of their angles: the sum of the sections' values,
// taken as one logarithm of the product of their squared magnitudes. A column whose product
// is zero, infinite or not a number gets what the C library's logarithm gives it. The column
// loop is built for every vector unit a processor may have; the widest one this processor
// runs is picked at the first call.
void CascadeCurve(const BiquadSection* normalised, int count, const double* cosines,
                  const double* sines, double* out, std::size_t n);

// The name of the vector unit the column loop runs on, e.g. "AVX2".
const char* CurveKernelTarget();

} // namespace zx
