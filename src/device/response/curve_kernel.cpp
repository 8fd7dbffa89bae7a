// The column loop is written once with Highway's portable vectors: foreach_target.h compiles
// this file again for every vector unit Highway knows, and the first call picks the widest
// one the processor runs. The file is built without contracted multiply-adds (see
// src/CMakeLists.txt): the cosine terms of every section, which cancel steeply at small
// angles, round exactly as the scalar formulas round them.
//
// The logarithm is the loop's own, of the ratio of the two products with one division.
// Highway's (contrib/math) needs the quotient first, a second division, and more steps: with
// it, recomputing every curve took one and a half times as long.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "response/curve_kernel.cpp"
#include <hwy/foreach_target.h> // IWYU pragma: keep

#include <hwy/highway.h>

#include "response/curve_kernel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <optional>

#ifndef ZX_CURVE_KERNEL_ONCE
#define ZX_CURVE_KERNEL_ONCE
namespace zx {

// Squared magnitude to curve decibels: 20 ln(m²) / ln(101).
constexpr double kDbPerNeper = 20.0 / 4.61512051684126;
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
// The loop takes coefficients up to kLargestCoefficient in size: then, with cosines and
// sines in [-1, 1], every section's squared magnitudes stay below 1.3e41 and the products of
// up to four below 3e164, finite and never NaN. Where both are at least kSmallestProduct,
// they are normal numbers, which the logarithm takes apart by their bit patterns.
constexpr double kLargestCoefficient = 1e20;
constexpr double kSmallestProduct = 1e-140;

// A section as the column loop takes it. The squared sine terms are taken as (b0 − b2)²·s²
// and (1 − a2)²·s²: they cancel only where their share of the magnitude is small, so this
// moves no value by more than about 1e-10 dB.
struct PreparedSection {
    double b0, b1, b2, a1, a2;
    double sineNum2; // (b0 − b2)²
    double sineDen2; // (1 − a2)²
};

struct PreparedCascade {
    std::array<PreparedSection, kMaxCascadeSections> sections{};
    int count = 0;
    bool symmetric = true; // every section has b0 = b2, as every second-order crossover
                           // section has: the numerator's sine term is exactly zero
};

} // namespace zx
#endif

HWY_BEFORE_NAMESPACE();
namespace zx::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// The squared magnitudes of one section's numerator and denominator at a vector of columns.
// The cosine terms keep the scalar formulas' order of rounding; the sums of squares cannot
// cancel, so fusing them moves a value by a unit in its last place at most.
template <bool Symmetric, class D, class V = hn::Vec<D>>
HWY_INLINE void SectionTerms(D d, const PreparedSection& q, V c, V s2, V& num, V& den) {
    const V dr = hn::Add(hn::Add(c, hn::Set(d, q.a1)), hn::Mul(hn::Set(d, q.a2), c));
    den = hn::MulAdd(dr, dr, hn::Mul(hn::Set(d, q.sineDen2), s2));
    const V b0c = hn::Mul(hn::Set(d, q.b0), c);
    if constexpr (Symmetric) {
        const V nr = hn::Add(hn::Add(b0c, hn::Set(d, q.b1)), b0c);
        num = hn::Mul(nr, nr);
    } else {
        const V nr = hn::Add(hn::Add(b0c, hn::Set(d, q.b1)), hn::Mul(hn::Set(d, q.b2), c));
        num = hn::MulAdd(nr, nr, hn::Mul(hn::Set(d, q.sineNum2), s2));
    }
}

// Curve decibels of num / den, 20 ln(num / den) / ln(101), for num and den of at least
// kSmallestProduct, within a few units in the last place: exponents from the bit patterns,
// the two mantissas brought within a factor √2 of each other, and ln(mn / md) = 2 atanh(s)
// with s = (mn − md) / (mn + md). One division, where a logarithm of the quotient would need
// two.
template <class D, class V = hn::Vec<D>> HWY_INLINE V CurveDbOfRatio(D d, V num, V den) {
    const hn::RebindToUnsigned<D> du;
    const auto nb = hn::BitCast(du, num);
    const auto db = hn::BitCast(du, den);
    // 2^52 plus each biased exponent: the exponent placed in the low bits of 2^52, which
    // needs no integer-to-double conversion. Their difference is exact.
    const auto two52 = hn::Set(du, 0x4330000000000000ULL);
    V k = hn::Sub(hn::BitCast(d, hn::Or(hn::ShiftRight<52>(nb), two52)),
                  hn::BitCast(d, hn::Or(hn::ShiftRight<52>(db), two52)));
    const auto mantissa = hn::Set(du, 0x000fffffffffffffULL);
    const auto one = hn::Set(du, 0x3ff0000000000000ULL);
    V mn = hn::BitCast(d, hn::Or(hn::And(nb, mantissa), one));
    const V md = hn::BitCast(d, hn::Or(hn::And(db, mantissa), one));
    // mn / md brought into [1, 2), then measured against √2·md: the quotient lies within a
    // factor √2 of 1, and the half power of two returns in the exponent term below.
    const auto below = hn::Lt(mn, md);
    mn = hn::IfThenElse(below, hn::Add(mn, mn), mn);
    k = hn::IfThenElse(below, hn::Sub(k, hn::Set(d, 1.0)), k);
    const V mdRoot2 = hn::Mul(md, hn::Set(d, kSqrt2));
    const V s = hn::Div(hn::Sub(mn, mdRoot2), hn::Add(mn, mdRoot2));
    const V z = hn::Mul(s, s);
    V p = hn::MulAdd(z, hn::Set(d, kP5), hn::Set(d, kP4));
    p = hn::MulAdd(z, p, hn::Set(d, kP3));
    p = hn::MulAdd(z, p, hn::Set(d, kP2));
    p = hn::MulAdd(z, p, hn::Set(d, kP1));
    p = hn::MulAdd(z, p, hn::Set(d, 2.0 * kDbPerNeper));
    return hn::MulAdd(k, hn::Set(d, kLn2 * kDbPerNeper),
                      hn::MulAdd(s, p, hn::Set(d, 0.5 * kLn2 * kDbPerNeper)));
}

// One vector of columns through Count sections. `lowest` keeps the smallest product seen.
template <int Count, bool Symmetric, class D>
HWY_INLINE void Step(D d, const PreparedSection* sections, const double* cosines,
                     const double* sines, double* out, hn::Vec<D>& lowest) {
    using V = hn::Vec<D>;
    const V c = hn::LoadU(d, cosines);
    const V s = hn::LoadU(d, sines);
    const V s2 = hn::Mul(s, s);
    V num = hn::Zero(d);
    V den = num;
    SectionTerms<Symmetric>(d, sections[0], c, s2, num, den);
    for (int k = 1; k < Count; ++k) {
        V nk = num;
        V dk = den;
        SectionTerms<Symmetric>(d, sections[k], c, s2, nk, dk);
        num = hn::Mul(num, nk);
        den = hn::Mul(den, dk);
    }
    lowest = hn::Min(lowest, hn::Min(num, den));
    hn::StoreU(CurveDbOfRatio(d, num, den), d, out);
}

template <int Count, bool Symmetric>
HWY_INLINE bool Columns(const PreparedCascade& p, const double* HWY_RESTRICT cosines,
                        const double* HWY_RESTRICT sines, double* HWY_RESTRICT out, std::size_t n) {
    const hn::ScalableTag<double> d;
    const std::size_t lanes = hn::Lanes(d);
    // A local copy: the stores to `out` cannot touch it, so the coefficients stay in
    // registers.
    const PreparedCascade local = p;
    const PreparedSection* sections = local.sections.data();
    auto lowest = hn::Set(d, 1.0);
    std::size_t i = 0;
    for (; i + lanes <= n; i += lanes)
        Step<Count, Symmetric>(d, sections, cosines + i, sines + i, out + i, lowest);
    if (i < n) {
        // The last columns go through a full vector, its spare lanes repeating the last
        // column, so that no load or store reaches past the arrays.
        constexpr std::size_t kMaxLanes = hn::MaxLanes(decltype(d)());
        std::array<double, kMaxLanes> c, s, o;
        std::fill(std::copy(cosines + i, cosines + n, c.begin()), c.end(), cosines[n - 1]);
        std::fill(std::copy(sines + i, sines + n, s.begin()), s.end(), sines[n - 1]);
        Step<Count, Symmetric>(d, sections, c.data(), s.data(), o.data(), lowest);
        std::copy_n(o.begin(), n - i, out + i);
    }
    return hn::AllTrue(d, hn::Ge(lowest, hn::Set(d, kSmallestProduct)));
}

template <bool Symmetric>
HWY_INLINE bool ColumnsBySize(const PreparedCascade& p, const double* cosines, const double* sines,
                              double* out, std::size_t n) {
    switch (p.count) {
    case 1:
        return Columns<1, Symmetric>(p, cosines, sines, out, n);
    case 2:
        return Columns<2, Symmetric>(p, cosines, sines, out, n);
    case 3:
        return Columns<3, Symmetric>(p, cosines, sines, out, n);
    case 4:
        return Columns<4, Symmetric>(p, cosines, sines, out, n);
    default:
        return false;
    }
}

// The curve decibels of a prepared cascade at n columns. Returns false when some column's
// products were below kSmallestProduct (zero at a zero of the response), which the C
// library's logarithm then takes.
bool CascadeColumns(const PreparedCascade& p, const double* cosines, const double* sines,
                    double* out, std::size_t n) {
    return p.symmetric ? ColumnsBySize<true>(p, cosines, sines, out, n)
                       : ColumnsBySize<false>(p, cosines, sines, out, n);
}

const char* TargetName() {
    return hwy::TargetName(HWY_TARGET);
}

} // namespace zx::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace zx {
namespace {

HWY_EXPORT(CascadeColumns);
HWY_EXPORT(TargetName);

// Nothing for coefficients beyond kLargestCoefficient, not a number, or whose squared sine
// factors would leave the normal numbers (only absurd ones come near); such a cascade takes
// the C library's logarithm.
std::optional<PreparedCascade> PrepareCascade(const BiquadSection* sections, int count) {
    if (count < 1 || count > kMaxCascadeSections) return std::nullopt;
    const auto inRange = [](double x) { return std::abs(x) <= kLargestCoefficient; };
    const auto usable = [](double x) {
        return x == 0.0 || (std::abs(x) >= 1e-100 && std::abs(x) <= 1e100);
    };
    PreparedCascade p;
    p.count = count;
    for (int k = 0; k < count; ++k) {
        const BiquadSection& b = sections[k];
        if (!inRange(b.b0) || !inRange(b.b1) || !inRange(b.b2) || !inRange(b.a1) ||
            !inRange(b.a2) || !usable(b.b0 - b.b2) || !usable(1.0 - b.a2))
            return std::nullopt;
        p.sections[static_cast<std::size_t>(k)] = {b.b0,
                                                   b.b1,
                                                   b.b2,
                                                   b.a1,
                                                   b.a2,
                                                   (b.b0 - b.b2) * (b.b0 - b.b2),
                                                   (1.0 - b.a2) * (1.0 - b.a2)};
        p.symmetric = p.symmetric && b.b0 == b.b2;
    }
    return p;
}

// Every column with the C library's logarithm: for products the vector loop does not take.
void CascadeLibm(const BiquadSection* sections, int count, const double* cosines,
                 const double* sines, double* out, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        double product = 1.0;
        for (int k = 0; k < count; ++k)
            product *= NormalisedSquaredMagnitude(sections[k], cosines[i], sines[i]);
        out[i] = CurveDbOfSquared(product);
    }
}

} // namespace

const char* CurveKernelTarget() {
    return HWY_DYNAMIC_DISPATCH(TargetName)();
}

void CascadeCurve(const BiquadSection* normalised, int count, const double* cosines,
                  const double* sines, double* out, std::size_t n) {
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
    const std::optional<PreparedCascade> p = PrepareCascade(normalised, count);
    if (!p || !HWY_DYNAMIC_DISPATCH(CascadeColumns)(*p, cosines, sines, out, n))
        CascadeLibm(normalised, count, cosines, sines, out, n);
}

} // namespace zx
#endif
