#pragma once

#include <numbers>

namespace zx {

// One second-order section. The identity section contributes exactly 0 to a curve.
struct BiquadSection {
    double b0 = 1.0;
    double b1 = 0.0;
    double b2 = 0.0;
    double a0 = 1.0;
    double a1 = 0.0;
    double a2 = 0.0;
    friend bool operator==(const BiquadSection&, const BiquadSection&) = default;
};

// The Q of a second-order Butterworth section, 1/√2.
inline constexpr double kButterworthQ = std::numbers::sqrt2 / 2.0;

// The sections of the audio EQ cookbook (coefficients before the division by a0), from the
// cosine of the corner angle w0, the gain A = 10^(dB / 40) and alpha. The device's bands and
// crossovers and the filters a list writes all use them; they differ in how they get the
// corner and alpha.
BiquadSection CookbookPeaking(double cosW0, double a, double alpha);
BiquadSection CookbookShelf(bool lowShelf, double cosW0, double a, double alpha);
BiquadSection CookbookPass(bool highPass, double cosW0, double alpha);

// A shelf's alpha for the slope S, from sin w0 and A (S = 1: as steep as a shelf gets
// without a bump).
double ShelfAlphaOfSlope(double sinW0, double a, double slope);

} // namespace zx
