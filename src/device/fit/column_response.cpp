#include "fit/column_response.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zx {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

double Tilt(double hz, double dbPerOctave) {
    return dbPerOctave * std::log2(hz / 1000.0);
}

// A curve's points over log2 frequency, with the integral of its piecewise-linear interpolant
// from the first point to each point, so that the mean over any window costs two look-ups.
class LogCurve {
  public:
    explicit LogCurve(const MeasurementCurve& curve) {
        for (std::size_t i = 0; i < curve.hz.size() && i < curve.db.size(); ++i) {
            if (!(curve.hz[i] > 0.0) || !std::isfinite(curve.db[i])) continue;
            logHz_.push_back(std::log2(curve.hz[i]));
            db_.push_back(curve.db[i]);
        }
        integral_.assign(logHz_.size(), 0.0);
        for (std::size_t k = 1; k < logHz_.size(); ++k) {
            integral_[k] =
                integral_[k - 1] + (logHz_[k] - logHz_[k - 1]) * (db_[k] + db_[k - 1]) / 2.0;
        }
    }

    bool empty() const { return logHz_.empty(); }
    double first() const { return logHz_.front(); }
    double last() const { return logHz_.back(); }

    // The interpolant at x, first() <= x <= last().
    double At(double x) const {
        const std::size_t k = Segment(x);
        if (k + 1 == logHz_.size()) return db_[k];
        const double width = logHz_[k + 1] - logHz_[k];
        if (width == 0.0) return db_[k + 1];
        return db_[k] + (db_[k + 1] - db_[k]) * (x - logHz_[k]) / width;
    }

    // The mean of the interpolant over [lo, hi], clipped to the points.
    double Mean(double lo, double hi) const {
        lo = std::max(lo, first());
        hi = std::min(hi, last());
        if (!(hi > lo)) return At(lo);
        return (IntegralTo(hi) - IntegralTo(lo)) / (hi - lo);
    }

  private:
    // The last point at or below x (the first point for x below it).
    std::size_t Segment(double x) const {
        const auto upper = std::upper_bound(logHz_.begin(), logHz_.end(), x);
        if (upper == logHz_.begin()) return 0;
        return static_cast<std::size_t>(upper - logHz_.begin()) - 1;
    }
    double IntegralTo(double x) const {
        const std::size_t k = Segment(x);
        return integral_[k] + (x - logHz_[k]) * (db_[k] + At(x)) / 2.0;
    }

    std::vector<double> logHz_;
    std::vector<double> db_;
    std::vector<double> integral_;
};

} // namespace

ResponseCurve MeasurementOnColumns(const MeasurementCurve& curve, int smoothOctaveFraction) {
    ResponseCurve out;
    out.fill(kNaN);
    const LogCurve c(curve);
    if (c.empty()) return out;
    // Half the window, in octaves; none without smoothing.
    const double half = smoothOctaveFraction > 0 ? 0.5 / smoothOctaveFraction : 0.0;
    const ColumnAngles& angles = PlotColumnAngles();
    for (int x = kGraph.firstPlotColumn(); x <= kGraph.lastPlotColumn(); ++x) {
        const auto i = static_cast<std::size_t>(GraphGeometry::CurveIndex(x));
        const double l = std::log2(angles.frequency[i]);
        // Only where the whole window lies within the points: near the ends a clipped window
        // would average less than 1/N octave, and the ends of a measurement are its least
        // sure part.
        if (l - half < c.first() || l + half > c.last()) continue;
        out[i] = c.Mean(l - half, l + half);
    }
    return out;
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
    ResponseCurve out;
    out.fill(kNaN);
    const LogCurve c(curve);
    if (c.empty()) return out;
    const ColumnAngles& angles = PlotColumnAngles();
    for (int x = kGraph.firstPlotColumn(); x <= kGraph.lastPlotColumn(); ++x) {
        const auto i = static_cast<std::size_t>(GraphGeometry::CurveIndex(x));
        const double hz = angles.frequency[i];
        const double l = std::log2(hz);
        if (l < c.first() || l > c.last()) continue;
        out[i] = c.At(l) + Tilt(hz, dbPerOctave);
    }
    return out;
}

} // namespace zx
