#include "response/curve_kernel.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>

// This file is built with the loop vectoriser on and without contracted multiply-adds (see
// src/CMakeLists.txt). The cosine terms of every section, which cancel steeply at small
// angles, are rounded exactly as the scalar formulas round them; the curves differ from a
// plain std::log loop by about 1e-12 dB in the plain and 256-bit paths and 1e-10 dB in the
// 512-bit one.

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define ZX_X86_KERNELS 1
// GCC 12 takes the intrinsics' deliberately undefined pass-through operands for uninitialised
// variables once they are inlined.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>
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

// What a vector unit offers the loop: fused multiply-adds or not.
struct PlainUnit {
    static constexpr bool kFused = false;
};
struct Avx2Unit {
    static constexpr bool kFused = true;
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

// A cascade as the column loops take it. Equal sections (the Linkwitz-Riley types repeat
// theirs) are kept once, with how often they occur. The squared sine terms are taken as
// (b0 − b2)²·s² and (1 − a2)²·s²: they cancel only where their share of the magnitude is
// small, so this moves no value by more than about 1e-10 dB. The cosine terms cancel steeply
// at small angles (a high-pass far below its corner) and keep the scalar formulas' order of
// rounding.
struct PreparedSection {
    double b0, b1, b2, a1, a2;
    double sineNum2; // (b0 − b2)²
    double sineDen2; // (1 − a2)²
    int times;       // how often the section occurs
};

struct PreparedCascade {
    std::array<PreparedSection, kMaxCascadeSections> sections{};
    int distinct = 0;
    int count = 0;         // sections with their repeats
    bool symmetric = true; // every section has b0 = b2, as every second-order crossover
                           // section has: the numerator's sine term is exactly zero
    bool doubled = true;   // every section occurs exactly twice
};

// Nothing for coefficients whose squared sine factors would leave the normal numbers (only
// absurd ones come near); such a cascade takes the C library's logarithm.
std::optional<PreparedCascade> PrepareCascade(const BiquadSection* sections, int count,
                                              bool mergeEqual) {
    if (count < 1 || count > kMaxCascadeSections) return std::nullopt;
    const auto usable = [](double x) {
        return x == 0.0 || (std::abs(x) >= 1e-100 && std::abs(x) <= 1e100);
    };
    PreparedCascade p;
    p.count = count;
    std::array<BiquadSection, kMaxCascadeSections> seen;
    for (int k = 0; k < count; ++k) {
        const BiquadSection& b = sections[k];
        int d = 0;
        while (mergeEqual && d < p.distinct && !(seen[static_cast<std::size_t>(d)] == b)) ++d;
        if (!mergeEqual) d = p.distinct;
        PreparedSection& q = p.sections[static_cast<std::size_t>(d)];
        if (d < p.distinct) {
            ++q.times;
            continue;
        }
        if (!usable(b.b0 - b.b2) || !usable(1.0 - b.a2)) return std::nullopt;
        seen[static_cast<std::size_t>(d)] = b;
        q = {b.b0,
             b.b1,
             b.b2,
             b.a1,
             b.a2,
             (b.b0 - b.b2) * (b.b0 - b.b2),
             (1.0 - b.a2) * (1.0 - b.a2),
             1};
        p.symmetric = p.symmetric && b.b0 == b.b2;
        ++p.distinct;
    }
    for (int d = 0; d < p.distinct; ++d)
        p.doubled = p.doubled && p.sections[static_cast<std::size_t>(d)].times == 2;
    return p;
}

// The column loop for a fixed number of distinct sections, each occurring once or (Doubled)
// each twice: the coefficients are loop constants, and the body has no call and no branch,
// so it becomes vector code. Returns false when some column's product was zero, subnormal,
// infinite, negative or not a number, which the fast logarithm does not take.
template <int Count, class Unit, bool Symmetric, bool Doubled>
[[gnu::always_inline]] inline bool
CascadeLoop(const PreparedSection* sections, const double* __restrict cosines,
            const double* __restrict sines, double* __restrict out, std::size_t n) {
    double b0[Count], b1[Count], b2[Count], a1[Count], a2[Count], num2[Count], den2[Count];
    for (int k = 0; k < Count; ++k) {
        b0[k] = sections[k].b0;
        b1[k] = sections[k].b1;
        b2[k] = sections[k].b2;
        a1[k] = sections[k].a1;
        a2[k] = sections[k].a2;
        num2[k] = sections[k].sineNum2;
        den2[k] = sections[k].sineDen2;
    }
    // Non-zero once some product was refused.
    std::uint64_t check = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double c = cosines[i];
        const double s2 = sines[i] * sines[i];
        double num = 1.0;
        double den = 1.0;
        for (int k = 0; k < Count; ++k) {
            const double dr = c + a1[k] + a2[k] * c;
            const double b0c = b0[k] * c;
            // Sums of squares cannot cancel: fusing them moves a value by a unit in its last
            // place at most.
            double dk = MulAdd<Unit>(dr, dr, den2[k] * s2);
            double nk;
            if constexpr (Symmetric) {
                const double nr = b0c + b1[k] + b0c;
                nk = nr * nr;
            } else {
                const double nr = b0c + b1[k] + b2[k] * c;
                nk = MulAdd<Unit>(nr, nr, num2[k] * s2);
            }
            if constexpr (Doubled) {
                nk *= nk;
                dk *= dk;
            }
            num *= nk;
            den *= dk;
        }
        check |= static_cast<std::uint64_t>(!(num >= kSmallestNormal) | !(num <= kLargestNormal) |
                                            !(den >= kSmallestNormal) | !(den <= kLargestNormal));
        out[i] = DbOfRatio<Unit>(num, den);
    }
    return check == 0;
}

template <class Unit, bool Symmetric>
[[gnu::always_inline]] inline bool CascadeBySize(const PreparedCascade& p, const double* cosines,
                                                 const double* sines, double* out, std::size_t n) {
    const PreparedSection* sec = p.sections.data();
    if (p.doubled) {
        switch (p.distinct) {
        case 1:
            return CascadeLoop<1, Unit, Symmetric, true>(sec, cosines, sines, out, n);
        case 2:
            return CascadeLoop<2, Unit, Symmetric, true>(sec, cosines, sines, out, n);
        default:
            return false;
        }
    }
    switch (p.distinct) {
    case 1:
        return CascadeLoop<1, Unit, Symmetric, false>(sec, cosines, sines, out, n);
    case 2:
        return CascadeLoop<2, Unit, Symmetric, false>(sec, cosines, sines, out, n);
    case 3:
        return CascadeLoop<3, Unit, Symmetric, false>(sec, cosines, sines, out, n);
    case 4:
        return CascadeLoop<4, Unit, Symmetric, false>(sec, cosines, sines, out, n);
    default:
        return false;
    }
}

// These loops take a section that occurs more than once either doubled or written out.
template <class Unit>
[[gnu::always_inline]] inline bool CascadeGeneric(const BiquadSection* sections, int count,
                                                  const double* cosines, const double* sines,
                                                  double* out, std::size_t n) {
    std::optional<PreparedCascade> p = PrepareCascade(sections, count, true);
    if (p && !p->doubled && p->distinct < count) p = PrepareCascade(sections, count, false);
    if (!p) return false;
    return p->symmetric ? CascadeBySize<Unit, true>(*p, cosines, sines, out, n)
                        : CascadeBySize<Unit, false>(*p, cosines, sines, out, n);
}

bool CascadePlain(const BiquadSection* sections, int count, const double* cosines,
                  const double* sines, double* out, std::size_t n) {
    return CascadeGeneric<PlainUnit>(sections, count, cosines, sines, out, n);
}

#ifdef ZX_X86_KERNELS
[[gnu::target("avx2,fma")]] bool CascadeAvx2(const BiquadSection* sections, int count,
                                             const double* cosines, const double* sines,
                                             double* out, std::size_t n) {
    return CascadeGeneric<Avx2Unit>(sections, count, cosines, sines, out, n);
}

#define ZX_AVX512 gnu::target("avx512f,avx512dq,avx512vl,fma")

// ln(1 + r) = r + r² Q(r) in curve decibels, |r| ≤ R = 1/32: the series up to r⁶, its r⁶
// term folded into the lower ones by Chebyshev economisation,
// r⁶ ≈ (48 R² r⁴ − 18 R⁴ r² + R⁶) / 32, which adds below 5e-12; the series' rest is below
// 5e-12 too. The constant R⁶/32 term joins the table's logarithms.
constexpr double kR = 1.0 / 32.0;
constexpr double kSixth = -kDbPerNeper / 6.0;
constexpr double kQ2 = -kDbPerNeper / 2.0 - kSixth * 18.0 * kR * kR * kR * kR / 32.0;
constexpr double kQ3 = kDbPerNeper / 3.0;
constexpr double kQ4 = -kDbPerNeper / 4.0 + kSixth * 48.0 * kR * kR / 32.0;
constexpr double kQ5 = kDbPerNeper / 5.0;
constexpr double kQ0 = kSixth * kR * kR * kR * kR * kR * kR / 32.0;

// The 512-bit path is written out. Its vector unit takes exponent and mantissa apart in one
// instruction each and looks up a 16-entry table in registers, so the logarithm of the
// quotient needs no range reduction by hand: ln q = k ln 2 − ln(1/c) + ln(1 + r), with c the
// middle of the sixteenth of [1, 2) the mantissa m lies in and r = m/c − 1, |r| ≤ 1/32.
struct Avx512LogTable {
    // 1/c and −ln(1/c) in curve decibels, for the sixteen mantissa intervals, as two halves.
    __m512d inverseLow, inverseHigh, logLow, logHigh;
};

const Avx512LogTable& LogTable() {
    static const Avx512LogTable table = [] {
        alignas(64) double inverse[16];
        alignas(64) double log[16];
        for (int j = 0; j < 16; ++j) {
            inverse[j] = 1.0 / (1.0 + (j + 0.5) / 16.0);
            log[j] = -kDbPerNeper * std::log(inverse[j]) + kQ0;
        }
        Avx512LogTable t{};
        std::memcpy(&t.inverseLow, inverse, sizeof t.inverseLow);
        std::memcpy(&t.inverseHigh, inverse + 8, sizeof t.inverseHigh);
        std::memcpy(&t.logLow, log, sizeof t.logLow);
        std::memcpy(&t.logHigh, log + 8, sizeof t.logHigh);
        return t;
    }();
    return table;
}

// Curve decibels of q. Zero, infinity and not-a-number give what the C library's logarithm
// gives (the exponent is ±∞ or NaN, the mantissa 1 or NaN); a subnormal q is taken exactly.
[[ZX_AVX512, gnu::always_inline]] inline __m512d Avx512CurveDb(__m512d q, const Avx512LogTable& t) {
    const __m512d k = _mm512_getexp_pd(q);
    const __m512d m = _mm512_getmant_pd(q, _MM_MANT_NORM_1_2, _MM_MANT_SIGN_zero);
    // The lookup reads the low four bits of each index: the mantissa's top four.
    const __m512i j = _mm512_srli_epi64(_mm512_castpd_si512(m), 48);
    const __m512d inverse = _mm512_permutex2var_pd(t.inverseLow, j, t.inverseHigh);
    const __m512d logC = _mm512_permutex2var_pd(t.logLow, j, t.logHigh);
    const __m512d r = _mm512_fmsub_pd(m, inverse, _mm512_set1_pd(1.0));
    // Q in two halves (Estrin's scheme): a shorter chain of dependent steps than Horner's.
    const __m512d r2 = _mm512_mul_pd(r, r);
    const __m512d low = _mm512_fmadd_pd(r, _mm512_set1_pd(kQ3), _mm512_set1_pd(kQ2));
    const __m512d high = _mm512_fmadd_pd(r, _mm512_set1_pd(kQ5), _mm512_set1_pd(kQ4));
    const __m512d p = _mm512_fmadd_pd(r2, high, low);
    const __m512d base = _mm512_fmadd_pd(k, _mm512_set1_pd(kLn2 * kDbPerNeper), logC);
    const __m512d linear = _mm512_fmadd_pd(r, _mm512_set1_pd(kDbPerNeper), base);
    return _mm512_fmadd_pd(r2, p, linear);
}

// One prepared section, in every lane.
struct Avx512Section {
    __m512d b0, b1, b2, a1, a2, sineNum2, sineDen2;
    int times;
};

// One vector of columns through a prepared cascade of Count distinct sections (Symmetric as
// in PreparedCascade). Products: more than one section occurs; the products of numerators
// and of denominators must then stay normal numbers to equal the product of the quotients.
template <int Count, bool Symmetric, bool Products>
[[ZX_AVX512, gnu::always_inline]] inline void
Avx512Step(const Avx512Section* sec, const Avx512LogTable& table, const double* cosines,
           const double* sines, double* out, __mmask8 lanes, __m512d& lowest, __m512d& highest) {
    const __m512d c = _mm512_maskz_loadu_pd(lanes, cosines);
    const __m512d s = _mm512_maskz_loadu_pd(lanes, sines);
    const __m512d s2 = _mm512_mul_pd(s, s);
    __m512d num = _mm512_set1_pd(1.0);
    __m512d den = num;
    for (int k = 0; k < Count; ++k) {
        const Avx512Section& q = sec[k];
        const __m512d dr = _mm512_add_pd(_mm512_add_pd(c, q.a1), _mm512_mul_pd(q.a2, c));
        const __m512d b0c = _mm512_mul_pd(q.b0, c);
        const __m512d dk = _mm512_fmadd_pd(dr, dr, _mm512_mul_pd(q.sineDen2, s2));
        __m512d nk;
        if constexpr (Symmetric) {
            const __m512d nr = _mm512_add_pd(_mm512_add_pd(b0c, q.b1), b0c);
            nk = _mm512_mul_pd(nr, nr);
        } else {
            const __m512d nr = _mm512_add_pd(_mm512_add_pd(b0c, q.b1), _mm512_mul_pd(q.b2, c));
            nk = _mm512_fmadd_pd(nr, nr, _mm512_mul_pd(q.sineNum2, s2));
        }
        num = k == 0 ? nk : _mm512_mul_pd(num, nk);
        den = k == 0 ? dk : _mm512_mul_pd(den, dk);
        if constexpr (Products) {
            for (int t = 1; t < q.times; ++t) {
                num = _mm512_mul_pd(num, nk);
                den = _mm512_mul_pd(den, dk);
            }
        }
    }
    if constexpr (Products) {
        lowest = _mm512_mask_min_pd(lowest, lanes, lowest, _mm512_min_pd(num, den));
        highest = _mm512_mask_max_pd(highest, lanes, highest, _mm512_max_pd(num, den));
    }
    _mm512_mask_storeu_pd(out, lanes, Avx512CurveDb(_mm512_div_pd(num, den), table));
}

template <int Count, bool Symmetric, bool Products>
[[ZX_AVX512, gnu::always_inline]] inline bool Avx512Loop(const Avx512Section* sec,
                                                         const double* cosines, const double* sines,
                                                         double* out, std::size_t n) {
    const Avx512LogTable& table = LogTable();
    __m512d lowest = _mm512_set1_pd(kSmallestNormal);
    __m512d highest = _mm512_set1_pd(kLargestNormal);
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        Avx512Step<Count, Symmetric, Products>(sec, table, cosines + i, sines + i, out + i, 0xFF,
                                               lowest, highest);
    }
    if (i < n) {
        Avx512Step<Count, Symmetric, Products>(sec, table, cosines + i, sines + i, out + i,
                                               static_cast<__mmask8>((1U << (n - i)) - 1U), lowest,
                                               highest);
    }
    return _mm512_cmp_pd_mask(lowest, _mm512_set1_pd(kSmallestNormal), _CMP_LT_OQ) == 0 &&
           _mm512_cmp_pd_mask(highest, _mm512_set1_pd(kLargestNormal), _CMP_GT_OQ) == 0;
}

template <bool Symmetric>
[[ZX_AVX512, gnu::always_inline]] inline bool
Avx512BySize(const Avx512Section* sec, int distinct, const double* cosines, const double* sines,
             double* out, std::size_t n) {
    switch (distinct) {
    case 1:
        return sec[0].times == 1 ? Avx512Loop<1, Symmetric, false>(sec, cosines, sines, out, n)
                                 : Avx512Loop<1, Symmetric, true>(sec, cosines, sines, out, n);
    case 2:
        return Avx512Loop<2, Symmetric, true>(sec, cosines, sines, out, n);
    case 3:
        return Avx512Loop<3, Symmetric, true>(sec, cosines, sines, out, n);
    case 4:
        return Avx512Loop<4, Symmetric, true>(sec, cosines, sines, out, n);
    default:
        return false;
    }
}

[[ZX_AVX512]] bool CascadeAvx512(const BiquadSection* sections, int count, const double* cosines,
                                 const double* sines, double* out, std::size_t n) {
    const std::optional<PreparedCascade> p = PrepareCascade(sections, count, true);
    if (!p) return false;
    std::array<Avx512Section, kMaxCascadeSections> sec;
    for (int d = 0; d < p->distinct; ++d) {
        const PreparedSection& q = p->sections[static_cast<std::size_t>(d)];
        sec[static_cast<std::size_t>(d)] = {_mm512_set1_pd(q.b0),       _mm512_set1_pd(q.b1),
                                            _mm512_set1_pd(q.b2),       _mm512_set1_pd(q.a1),
                                            _mm512_set1_pd(q.a2),       _mm512_set1_pd(q.sineNum2),
                                            _mm512_set1_pd(q.sineDen2), q.times};
    }
    return p->symmetric ? Avx512BySize<true>(sec.data(), p->distinct, cosines, sines, out, n)
                        : Avx512BySize<false>(sec.data(), p->distinct, cosines, sines, out, n);
}
#undef ZX_AVX512
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
