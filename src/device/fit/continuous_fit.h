#pragma once

#include <limits>
#include <vector>

namespace zx {

// What other equaliser tools make, as one of the fit's starts: continuous cookbook peaking
// filters (any frequency, gain and Q, the textbook width), fitted by least squares to a
// residual at the fit's columns. The fit then converts each filter to the device band whose
// drawn curve matches it best.

struct CookbookFilter {
    double hz = 1000.0;
    double gainDb = 0.0;
    double q = 1.0;
};

struct ContinuousProblem {
    std::vector<double> hz;       // the fit's columns
    std::vector<double> residual; // measured − target + the fixed curves, at the columns
    double lowDb = -24.0;         // gain limits
    double highDb = 12.0;
    double lowHz = 20.0; // where a filter's centre may go
    double highHz = 20000.0;
    bool centred = true; // the level offset is free
    // The lowest mean the filters' sum may have over the columns (with the offset free,
    // a wide cut would otherwise stand for a boost of everything else).
    double lowestMean = -std::numeric_limits<double>::infinity();
};

// The filter's response at the frequencies, in dB (96 kHz sampling, as the device).
std::vector<double> CookbookCurve(const CookbookFilter& filter, const std::vector<double>& hz);

// `count` filters placed one at a time at the largest error, with a joint damped
// least-squares descent (Levenberg–Marquardt) over every placed filter's log frequency, gain
// and log Q after each. Deterministic.
std::vector<CookbookFilter> FitCookbookFilters(const ContinuousProblem& problem, int count);

} // namespace zx
