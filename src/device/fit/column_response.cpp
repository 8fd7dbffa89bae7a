#include "fit/column_response.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zx {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// The fine grid the smoothing runs on: 96 steps per octave, finer than the graph's columns
// (about 30 per octave) and than any smoothing asked for.
constexpr double kStepsPerOctave = 96.0;

// Linear interpolation over log2 frequency between the points around `x` (x in log2 Hz).
double Interpolate(const std::vector<double>& logHz, const std::vector<double>& db, double x) {
    const auto upper = std::lower_bound(logHz.begin(), logHz.end(), x);
    if (upper == logHz.begin()) return db.front();
    if (upper == logHz.end()) return db.back();
    const auto k = static_cast<std::size_t>(upper - logHz.begin());
    const double x0 = logHz[k - 1];
    const double x1 = logHz[k];
    if (x1 == x0) return db[k];
    return db[k - 1] + (db[k] - db[k - 1]) * (x - x0) / (x1 - x0);
}

struct LogCurve {
    std::vector<double> logHz;
    std::vector<double> db;
};

LogCurve Positive(const MeasurementCurve& curve) {
    LogCurve c;
    for (std::size_t i = 0; i < curve.hz.size() && i < curve.db.size(); ++i) {
        if (!(curve.hz[i] > 0.0) || !std::isfinite(curve.db[i])) continue;
        c.logHz.push_back(std::log2(curve.hz[i]));
        c.db.push_back(curve.db[i]);
    }
    return c;
}

// The curve on the fine grid: each grid step holds the mean of the points inside it, or,
// where points lie further apart than a step, the value interpolated between them.
LogCurve OnFineGrid(const LogCurve& c) {
    LogCurve g;
    const double first = c.logHz.front();
    const double last = c.logHz.back();
    const auto steps = static_cast<std::size_t>(std::floor((last - first) * kStepsPerOctave)) + 1;
    std::vector<double> sum(steps, 0.0);
    std::vector<int> count(steps, 0);
    for (std::size_t i = 0; i < c.logHz.size(); ++i) {
        const auto k =
            static_cast<std::size_t>(std::lround((c.logHz[i] - first) * kStepsPerOctave));
        if (k >= steps) continue;
        sum[k] += c.db[i];
        ++count[k];
    }
    g.logHz.resize(steps);
    g.db.resize(steps);
    for (std::size_t k = 0; k < steps; ++k) {
        g.logHz[k] = first + static_cast<double>(k) / kStepsPerOctave;
        g.db[k] = count[k] > 0 ? sum[k] / count[k] : Interpolate(c.logHz, c.db, g.logHz[k]);
    }
    return g;
}

// A moving mean 1/N octave wide over the fine grid, narrower at the ends where the curve
// stops.
std::vector<double> Smooth(const std::vector<double>& db, int n) {
    if (n <= 0) return db;
    const auto half = static_cast<std::ptrdiff_t>(std::lround(kStepsPerOctave / n / 2.0));
    std::vector<double> prefix(db.size() + 1, 0.0);
    for (std::size_t k = 0; k < db.size(); ++k) prefix[k + 1] = prefix[k] + db[k];
    std::vector<double> out(db.size());
    const auto size = static_cast<std::ptrdiff_t>(db.size());
    for (std::ptrdiff_t k = 0; k < size; ++k) {
        const std::ptrdiff_t lo = std::max<std::ptrdiff_t>(0, k - half);
        const std::ptrdiff_t hi = std::min<std::ptrdiff_t>(size - 1, k + half);
        out[static_cast<std::size_t>(k)] =
            (prefix[static_cast<std::size_t>(hi + 1)] - prefix[static_cast<std::size_t>(lo)]) /
            static_cast<double>(hi - lo + 1);
    }
    return out;
}

double Tilt(double hz, double dbPerOctave) {
    return dbPerOctave * std::log2(hz / 1000.0);
}

ResponseCurve OnColumns(const LogCurve& c, double dbPerOctave) {
    ResponseCurve out;
    out.fill(kNaN);
    if (c.logHz.empty()) return out;
    const ColumnAngles& angles = PlotColumnAngles();
    // A column counts as measured within half a grid step of the ends.
    const double slack = 0.5 / kStepsPerOctave;
    for (int x = kGraph.firstPlotColumn(); x <= kGraph.lastPlotColumn(); ++x) {
        const auto i = static_cast<std::size_t>(GraphGeometry::CurveIndex(x));
        const double hz = angles.frequency[i];
        const double l = std::log2(hz);
        if (l < c.logHz.front() - slack || l > c.logHz.back() + slack) continue;
        out[i] = Interpolate(c.logHz, c.db, l) + Tilt(hz, dbPerOctave);
    }
    return out;
}

} // namespace

ResponseCurve MeasurementOnColumns(const MeasurementCurve& curve, int smoothOctaveFraction) {
    const LogCurve c = Positive(curve);
    if (c.logHz.empty()) return OnColumns(c, 0.0);
    LogCurve fine = OnFineGrid(c);
    fine.db = Smooth(fine.db, smoothOctaveFraction);
    return OnColumns(fine, 0.0);
}

ResponseCurve FlatTarget(double dbPerOctave) {
    ResponseCurve out;
    out.fill(kNaN);
    const ColumnAngles& angles = PlotColumnAngles();
    for (int x = kGraph.firstPlotColumn(); x <= kGraph.lastPlotColumn(); ++x) {
        const auto i = static_cast<std::size_t>(GraphGeometry::CurveIndex(x));
        out[i] = Tilt(angles.frequency[i], dbPerOctave);
    }
    return out;
}

ResponseCurve TargetOnColumns(const MeasurementCurve& curve, double dbPerOctave) {
    return OnColumns(Positive(curve), dbPerOctave);
}

} // namespace zx
