#include "response/biquad_design.h"

#include <cmath>

namespace zx {

BiquadSection CookbookPeaking(double cosW0, double a, double alpha) {
    const double cosTerm = -2.0 * cosW0;
    return {1.0 + alpha * a, cosTerm, 1.0 - alpha * a, 1.0 + alpha / a, cosTerm, 1.0 - alpha / a};
}

BiquadSection CookbookShelf(bool lowShelf, double cosW0, double a, double alpha) {
    const double k = 2.0 * std::sqrt(a) * alpha;
    const double c = cosW0;
    if (lowShelf) {
        return {a * ((a + 1.0) - (a - 1.0) * c + k), 2.0 * a * ((a - 1.0) - (a + 1.0) * c),
                a * ((a + 1.0) - (a - 1.0) * c - k), (a + 1.0) + (a - 1.0) * c + k,
                -2.0 * ((a - 1.0) + (a + 1.0) * c),  (a + 1.0) + (a - 1.0) * c - k};
    }
    return {a * ((a + 1.0) + (a - 1.0) * c + k), -2.0 * a * ((a - 1.0) + (a + 1.0) * c),
            a * ((a + 1.0) + (a - 1.0) * c - k), (a + 1.0) - (a - 1.0) * c + k,
            2.0 * ((a - 1.0) - (a + 1.0) * c),   (a + 1.0) - (a - 1.0) * c - k};
}

BiquadSection CookbookPass(bool highPass, double cosW0, double alpha) {
    const double b = highPass ? (1.0 + cosW0) / 2.0 : (1.0 - cosW0) / 2.0;
    return {b, highPass ? -2.0 * b : 2.0 * b, b, 1.0 + alpha, -2.0 * cosW0, 1.0 - alpha};
}

double ShelfAlphaOfSlope(double sinW0, double a, double slope) {
    return sinW0 / 2.0 * std::sqrt((a + 1.0 / a) * (1.0 / slope - 1.0) + 2.0);
}

} // namespace zx
