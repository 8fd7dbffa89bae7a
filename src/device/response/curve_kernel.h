#pragma once

#include "response/eq_response.h"

#include <cstddef>

namespace zx {

// The column loop every curve runs through. It is built several times for the vector units
// a processor may have; the widest one the processor supports is picked once at start, and
// the plain one runs everywhere else.
enum class CurveKernel { Plain, Avx2, Avx512 };

CurveKernel ActiveCurveKernel();
bool CurveKernelSupported(CurveKernel kernel);
const char* CurveKernelName(CurveKernel kernel);

inline constexpr int kMaxCascadeSections = 4;

// The curve decibels of a cascade of 0..4 sections, each already divided through by its a0,
// at n columns given by the cosine and sine of their angles: the sum of the sections' values,
// taken as one logarithm of the product of their squared magnitudes. A column whose product
// is zero, infinite or not a number gets what the C library's logarithm gives it.
void CascadeCurve(const BiquadSection* normalised, int count, const double* cosines,
                  const double* sines, double* out, std::size_t n,
                  CurveKernel kernel = ActiveCurveKernel());

} // namespace zx
