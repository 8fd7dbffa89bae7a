#include "response/curve_kernel.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <limits>

// This file is built with the loop vectoriser on and without contracted multiply-adds (see
// src/CMakeLists.txt): every section's terms are rounded exactly as the scalar formulas
// round them, so the curves differ from a plain std::log loop only in the last bits of
// the logarithm.

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define ZX_X86_KERNELS 1
#endif

namespace zx {
namespace {

// Squared magnitude to curve decibels: 20 ln(m²) / ln(101).
constexpr double kDbPerNeper = 20.0 / 4.61512051684126;

constexpr std::uint64_t kMantissaMask = 0x000fffffffffffffULL;
constexpr std::uint64_t kOneBits = 0x3ff0000000000000ULL;
constexpr std::uint64_t kTwo52Bits = 0x4330000000000000ULL;
constexpr double kSmallestNormal = std::numeric_limits<double>::min();
constexpr double kLargestNormal = std::numeric_limits<double>::max();
constexpr std::uint64_t kSmallestNormalBits = 0x0010000000000000ULL;
constexpr std::uint64_t kNormalSpan = 0x7ff0000000000000ULL - kSmallestNormalBits;
constexpr double kSqrt2 = 1.41421356237309504880;
constexpr double kLn2 = 0.69314718055994530942;
// Minimax coefficients of (2 atanh(s) − 2s) / s in z = s² for |s| ≤ 0.1716, error below
// 2^-58 (the classic ones of the freely distributable maths library), here already scaled
// to curve decibels.
constexpr double kLg1 = 6.666666666666735130e-01 * kDbPerNeper;
constexpr double kLg2 = 3.999999999940941908e-01 * kDbPerNeper;
constexpr double kLg3 = 2.857142874366239149e-01 * kDbPerNeper;
constexpr double kLg4 = 2.222219843214978396e-01 * kDbPerNeper;
constexpr double kLg5 = 1.818357216161805012e-01 * kDbPerNeper;
constexpr double kLg6 = 1.531383769920937332e-01 * kDbPerNeper;
// The curves need about 1e-11 dB, not the last bit: the z⁶ term is dropped (below 2e-12 dB)
// and the z⁵ term folded into the lower ones by Chebyshev economisation over 0 ≤ z ≤ zMax,
// z⁵ ≈ zMax⁵ (1280 x⁴ − 1120 x³ + 400 x² − 50 x + 1) / 512 with x = z / zMax (below 1e-13 dB).
constexpr double kZMax = (3.0 - 2.0 * kSqrt2) * (3.0 - 2.0 * kSqrt2);
constexpr double kP1 = kLg1 + kLg6 * kZMax * kZMax * kZMax * kZMax * kZMax / 512.0;
constexpr double kP2 = kLg2 - kLg6 * 50.0 * kZMax * kZMax * kZMax * kZMax / 512.0;
constexpr double kP3 = kLg3 + kLg6 * 400.0 * kZMax * kZMax * kZMax / 512.0;
constexpr double kP4 = kLg4 - kLg6 * 1120.0 * kZMax * kZMax / 512.0;
constexpr double kP5 = kLg5 + kLg6 * 1280.0 * kZMax / 512.0;

// What a vector unit offers the loop: fused multiply-adds, and unsigned 64-bit maxima
// (which make the range check below one operation per product instead of three).
struct PlainUnit {
    static constexpr bool kFused = false;
    static constexpr bool kIntegerMax = false;
};
struct Avx2Unit {
    static constexpr bool kFused = true;
    static constexpr bool kIntegerMax = false;
};
struct Avx512Unit {
    static constexpr bool kFused = true;
    static constexpr bool kIntegerMax = true;
};

// a × b + c, as one fused operation where the vector unit has it.
template <class Unit> [[gnu::always_inline]] inline double MulAdd(double a, double b, double c) {
    if constexpr (Unit::kFused) {
        return __builtin_fma(a, b, c);
    } else {
        return a * b + c;
    }
}

// 2^52 plus the biased exponent of a positive double: the exponent placed in the low bits
// of 2^52, which needs no integer-to-double conversion (one the narrower vector units lack).
inline double ExponentAbove2To52(std::uint64_t bits) {
    return std::bit_cast<double>((bits >> 52) | kTwo52Bits);
}

// Curve decibels of num / den, 20 ln(num / den) / ln(101), for positive normal num and
// den, branch-free, within a few units in the last place: exponents from the bit patterns,
// the two mantissas brought within a factor √2 of each other, and ln(mn / md) =
// 2 atanh(s) with s = (mn − md) / (mn + md). One division, where a logarithm of the
// quotient would need two.
template <class Unit> [[gnu::always_inline]] inline double DbOfRatio(double num, double den) {
    const auto nb = std::bit_cast<std::uint64_t>(num);
    const auto db = std::bit_cast<std::uint64_t>(den);
    double k = ExponentAbove2To52(nb) - ExponentAbove2To52(db); // exact
    double mn = std::bit_cast<double>((nb & kMantissaMask) | kOneBits);
    const double md = std::bit_cast<double>((db & kMantissaMask) | kOneBits);
    // mn / md brought into [1, 2), then measured against √2·md: the quotient lies within a
    // factor √2 of 1, and the half power of two returns in the exponent term below.
    const bool below = mn < md;
    mn = below ? mn + mn : mn;
    k = below ? k - 1.0 : k;
    const double mdRoot2 = md * kSqrt2;
    const double s = (mn - mdRoot2) / (mn + mdRoot2);
    const double z = s * s;
    double p = MulAdd<Unit>(z, kP5, kP4);
    p = MulAdd<Unit>(z, p, kP3);
    p = MulAdd<Unit>(z, p, kP2);
    p = MulAdd<Unit>(z, p, kP1);
    p = MulAdd<Unit>(z, p, 2.0 * kDbPerNeper);
    return MulAdd<Unit>(k, kLn2 * kDbPerNeper, MulAdd<Unit>(s, p, 0.5 * kLn2 * kDbPerNeper));
}

// The column loop for a fixed number of sections: the coefficients are loop constants, and
// the body has no call and no branch, so it becomes vector code. Returns false when some
// column's product was zero, subnormal, infinite, negative or not a number, which the fast
// logarithm does not take.
template <int Count, class Unit>
[[gnu::always_inline]] inline bool
CascadeLoop(const BiquadSection* sections, const double* __restrict cosines,
            const double* __restrict sines, double* __restrict out, std::size_t n) {
    double b0[Count], b1[Count], b2[Count], a1[Count], a2[Count];
    for (int k = 0; k < Count; ++k) {
        b0[k] = sections[k].b0;
        b1[k] = sections[k].b1;
        b2[k] = sections[k].b2;
        a1[k] = sections[k].a1;
        a2[k] = sections[k].a2;
    }
    // Either the largest distance of a product's bits above the smallest normal number's
    // (below it, the difference wraps to a huge one) or a count of refused products.
    std::uint64_t check = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double c = cosines[i];
        const double s = sines[i];
        double num = 1.0;
        double den = 1.0;
        for (int k = 0; k < Count; ++k) {
            const double dr = c + a1[k] + a2[k] * c;
            const double di = s - a2[k] * s;
            const double nr = b0[k] * c + b1[k] + b2[k] * c;
            const double ni = b0[k] * s - b2[k] * s;
            // Sums of squares cannot cancel: fusing them moves a value by a unit in its last
            // place at most. The terms above stay unfused; they cancel steeply below a cut-off.
            num *= MulAdd<Unit>(nr, nr, ni * ni);
            den *= MulAdd<Unit>(dr, dr, di * di);
        }
        if constexpr (Unit::kIntegerMax) {
            const std::uint64_t nd = std::bit_cast<std::uint64_t>(num) - kSmallestNormalBits;
            const std::uint64_t dd = std::bit_cast<std::uint64_t>(den) - kSmallestNormalBits;
            check = std::max(check, std::max(nd, dd));
        } else {
            check |=
                static_cast<std::uint64_t>(!(num >= kSmallestNormal) | !(num <= kLargestNormal) |
                                           !(den >= kSmallestNormal) | !(den <= kLargestNormal));
        }
        out[i] = DbOfRatio<Unit>(num, den);
    }
    return Unit::kIntegerMax ? check < kNormalSpan : check == 0;
}

template <class Unit>
[[gnu::always_inline]] inline bool CascadeBySize(const BiquadSection* sections, int count,
                                                 const double* cosines, const double* sines,
                                                 double* out, std::size_t n) {
    switch (count) {
    case 1:
        return CascadeLoop<1, Unit>(sections, cosines, sines, out, n);
    case 2:
        return CascadeLoop<2, Unit>(sections, cosines, sines, out, n);
    case 3:
        return CascadeLoop<3, Unit>(sections, cosines, sines, out, n);
    case 4:
        return CascadeLoop<4, Unit>(sections, cosines, sines, out, n);
    default:
        return false;
    }
}

bool CascadePlain(const BiquadSection* sections, int count, const double* cosines,
                  const double* sines, double* out, std::size_t n) {
    return CascadeBySize<PlainUnit>(sections, count, cosines, sines, out, n);
}

#ifdef ZX_X86_KERNELS
[[gnu::target("avx2,fma")]] bool CascadeAvx2(const BiquadSection* sections, int count,
                                             const double* cosines, const double* sines,
                                             double* out, std::size_t n) {
    return CascadeBySize<Avx2Unit>(sections, count, cosines, sines, out, n);
}

[[gnu::target("avx512f,avx512dq,avx512vl,fma")]] bool
CascadeAvx512(const BiquadSection* sections, int count, const double* cosines, const double* sines,
              double* out, std::size_t n) {
    return CascadeBySize<Avx512Unit>(sections, count, cosines, sines, out, n);
}
#endif

// Every column with the C library's logarithm: for products the fast one does not take.
void CascadeLibm(const BiquadSection* sections, int count, const double* cosines,
                 const double* sines, double* out, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        double product = 1.0;
        for (int k = 0; k < count; ++k)
            product *= NormalisedSquaredMagnitude(sections[k], cosines[i], sines[i]);
        out[i] = CurveDbOfSquared(product);
    }
}

CurveKernel ChooseCurveKernel() {
    if (CurveKernelSupported(CurveKernel::Avx512)) return CurveKernel::Avx512;
    if (CurveKernelSupported(CurveKernel::Avx2)) return CurveKernel::Avx2;
    return CurveKernel::Plain;
}

} // namespace

bool CurveKernelSupported(CurveKernel kernel) {
    switch (kernel) {
    case CurveKernel::Plain:
        return true;
#ifdef ZX_X86_KERNELS
    case CurveKernel::Avx2:
        return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    case CurveKernel::Avx512:
        return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq") &&
               __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("fma");
#endif
    default:
        return false;
    }
}

CurveKernel ActiveCurveKernel() {
    static const CurveKernel kernel = ChooseCurveKernel();
    return kernel;
}

const char* CurveKernelName(CurveKernel kernel) {
    switch (kernel) {
    case CurveKernel::Avx2:
        return "avx2+fma";
    case CurveKernel::Avx512:
        return "avx512";
    default:
        return "plain";
    }
}

void CascadeCurve(const BiquadSection* normalised, int count, const double* cosines,
                  const double* sines, double* out, std::size_t n, CurveKernel kernel) {
    // A section whose numerator equals its denominator (a band at 0 dB) gives the same
    // terms with the same rounding above and below, a factor of exactly 1: it adds exactly 0.
    std::array<BiquadSection, kMaxCascadeSections> used{};
    if (count <= kMaxCascadeSections) {
        int kept = 0;
        for (int k = 0; k < count; ++k) {
            const BiquadSection& s = normalised[k];
            if (s.b0 == 1.0 && s.b1 == s.a1 && s.b2 == s.a2) continue;
            used[static_cast<std::size_t>(kept++)] = s;
        }
        normalised = used.data();
        count = kept;
    }
    if (count <= 0) {
        // No section: the product is 1 and every value exactly 0.
        for (std::size_t i = 0; i < n; ++i) out[i] = 0.0;
        return;
    }
    bool done = false;
    switch (CurveKernelSupported(kernel) ? kernel : CurveKernel::Plain) {
#ifdef ZX_X86_KERNELS
    case CurveKernel::Avx512:
        done = CascadeAvx512(normalised, count, cosines, sines, out, n);
        break;
    case CurveKernel::Avx2:
        done = CascadeAvx2(normalised, count, cosines, sines, out, n);
        break;
#endif
    default:
        done = CascadePlain(normalised, count, cosines, sines, out, n);
        break;
    }
    if (!done) CascadeLibm(normalised, count, cosines, sines, out, n);
}

} // namespace zx
