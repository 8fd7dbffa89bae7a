#include "fit/continuous_fit.h"

#include "response/biquad_design.h"
#include "response/eq_response.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zx {
namespace {

constexpr double kRate = 96000.0;
constexpr double kLeastQ = 0.1;
constexpr double kMostQ = 18.0; // about the device's narrowest band, Q 36 at twice the width
constexpr int kIterationsPerFilter = 30;
constexpr int kFinalIterations = 150;
constexpr int kParameters = 3; // log2 Hz, dB, log2 Q
// A step that lowers the cost by less than this share ends the descent.
constexpr double kConverged = 1e-6;
// A mean 0.1 dB below the lowest weighs as much as an error of 10 dB at every column.
constexpr double kMeanWeight = 100.0;

double Cost(const std::vector<double>& r, bool centred) {
    double sum = 0.0;
    double squares = 0.0;
    for (double v : r) {
        sum += v;
        squares += v * v;
    }
    return centred ? squares - sum * sum / static_cast<double>(r.size()) : squares;
}

// Solves a x = b for a symmetric positive definite a (n × n, row-major) by Cholesky; false
// when a is not positive definite.
bool SolveSymmetric(std::vector<double> a, std::vector<double>& x, std::size_t n) {
    for (std::size_t j = 0; j < n; ++j) {
        double d = a[j * n + j];
        for (std::size_t k = 0; k < j; ++k) d -= a[j * n + k] * a[j * n + k];
        if (!(d > 0.0)) return false;
        d = std::sqrt(d);
        a[j * n + j] = d;
        for (std::size_t i = j + 1; i < n; ++i) {
            double s = a[i * n + j];
            for (std::size_t k = 0; k < j; ++k) s -= a[i * n + k] * a[j * n + k];
            a[i * n + j] = s / d;
        }
    }
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t k = 0; k < i; ++k) x[i] -= a[i * n + k] * x[k];
        x[i] /= a[i * n + i];
    }
    for (std::size_t i = n; i-- > 0;) {
        for (std::size_t k = i + 1; k < n; ++k) x[i] -= a[k * n + i] * x[k];
        x[i] /= a[i * n + i];
    }
    return true;
}

struct Angles {
    std::vector<double> cos;
    std::vector<double> sin;
};

Angles AnglesOf(const std::vector<double>& hz) {
    Angles a;
    for (double f : hz) {
        const double w = 2.0 * std::numbers::pi * f / kRate;
        a.cos.push_back(std::cos(w));
        a.sin.push_back(std::sin(w));
    }
    return a;
}

std::vector<double> CurveAt(const CookbookFilter& f, const Angles& angles) {
    const double w0 = 2.0 * std::numbers::pi * f.hz / kRate;
    const BiquadSection s = NormaliseSection(
        CookbookPeaking(std::cos(w0), std::pow(10.0, f.gainDb / 40.0), std::sin(w0) / (2.0 * f.q)));
    std::vector<double> out(angles.cos.size());
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = 10.0 * std::log10(NormalisedSquaredMagnitude(s, angles.cos[i], angles.sin[i]));
    return out;
}

// Unit shapes (per dB of gain, centred when the offset is free) on a grid of centres a
// twelfth of an octave apart and a ladder of Q, for placing a new filter.
struct Shapes {
    std::vector<CookbookFilter> filters;
    std::vector<double> values; // filters.size() rows of the columns
    std::vector<double> norms;
    std::vector<double> means; // per dB, before centring
};

Shapes ShapesFor(const ContinuousProblem& p, const Angles& angles) {
    constexpr double kReferenceDb = 6.0;
    Shapes shapes;
    for (double f = p.lowHz; f <= p.highHz; f *= std::exp2(1.0 / 12.0)) {
        for (double q : {0.5, 1.0, 2.0, 4.0, 8.0}) {
            std::vector<double> curve = CurveAt({f, kReferenceDb, q}, angles);
            double mean = 0.0;
            for (double v : curve) mean += v;
            mean /= static_cast<double>(curve.size());
            const double meanPerDb = mean / kReferenceDb;
            if (!p.centred) mean = 0.0;
            double norm = 0.0;
            for (double& v : curve) {
                v = (v - mean) / kReferenceDb;
                norm += v * v;
            }
            if (!(norm > 1e-12)) continue;
            shapes.filters.push_back({f, kReferenceDb, q});
            shapes.values.insert(shapes.values.end(), curve.begin(), curve.end());
            shapes.norms.push_back(norm);
            shapes.means.push_back(meanPerDb);
        }
    }
    return shapes;
}

class Search {
  public:
    explicit Search(const ContinuousProblem& p)
        : p_(&p), angles_(AnglesOf(p.hz)), residual_(p.residual) {}

    void Add(const CookbookFilter& f) {
        filters_.push_back(Clamp(f));
        curves_.push_back(CurveAt(filters_.back(), angles_));
        for (std::size_t i = 0; i < residual_.size(); ++i) residual_[i] += curves_.back()[i];
    }

    // The grid's shape that lowers the cost most at its least-squares gain (the curves of a
    // cookbook peaking filter are odd in gain and nearly proportional to it).
    CookbookFilter BestNew(const Shapes& shapes) const {
        double mean = 0.0;
        if (p_->centred) {
            for (double v : residual_) mean += v;
            mean /= static_cast<double>(residual_.size());
        }
        CookbookFilter best{p_->hz.front(), 0.0, 1.0};
        double bestChange = 0.0;
        const std::size_t m = residual_.size();
        for (std::size_t s = 0; s < shapes.filters.size(); ++s) {
            const double* u = &shapes.values[s * m];
            double dot = 0.0;
            for (std::size_t i = 0; i < m; ++i) dot += u[i] * (residual_[i] - mean);
            double low = p_->lowDb;
            double high = p_->highDb;
            const double room = std::max(0.0, Mean() - p_->lowestMean);
            if (shapes.means[s] > 1e-12) low = std::max(low, -room / shapes.means[s]);
            if (shapes.means[s] < -1e-12) high = std::min(high, -room / shapes.means[s]);
            if (!(low <= high)) continue;
            const double gain = std::clamp(-dot / shapes.norms[s], low, high);
            const double change = 2.0 * gain * dot + gain * gain * shapes.norms[s];
            if (change < bestChange) {
                bestChange = change;
                best = {shapes.filters[s].hz, gain, shapes.filters[s].q};
            }
        }
        return best;
    }

    void Remove(std::size_t k) {
        for (std::size_t i = 0; i < residual_.size(); ++i) residual_[i] -= curves_[k][i];
        filters_.erase(filters_.begin() + static_cast<std::ptrdiff_t>(k));
        curves_.erase(curves_.begin() + static_cast<std::ptrdiff_t>(k));
    }

    double cost() const { return Penalised(residual_); }

    // Damped Gauss–Newton steps over every filter (and the offset), the Jacobian by forward
    // differences: each filter's parameters move only its own curve.
    void Descend(int iterations) {
        const std::size_t m = residual_.size();
        const std::size_t n = filters_.size() * kParameters + (p_->centred ? 1 : 0);
        double cost = Penalised(residual_);
        double damping = 1e-3;
        std::vector<double> jacobian(n * m);
        for (int it = 0; it < iterations; ++it) {
            // With the offset as a parameter the plain squares are minimised; start it at the
            // mean so that they equal the centred cost.
            double offset = 0.0;
            if (p_->centred) {
                for (double v : residual_) offset -= v;
                offset /= static_cast<double>(m);
            }
            std::vector<double> e(residual_);
            for (double& v : e) v += offset;
            for (std::size_t k = 0; k < filters_.size(); ++k) {
                for (int d = 0; d < kParameters; ++d) {
                    constexpr double kStep = 1e-4;
                    const std::vector<double> moved =
                        CurveAt(Moved(filters_[k], d, kStep), angles_);
                    double* row = &jacobian[(k * kParameters + static_cast<std::size_t>(d)) * m];
                    for (std::size_t i = 0; i < m; ++i) row[i] = (moved[i] - curves_[k][i]) / kStep;
                }
            }
            if (p_->centred) std::fill_n(&jacobian[(n - 1) * m], m, 1.0);
            std::vector<double> normal(n * n, 0.0);
            std::vector<double> gradient(n, 0.0);
            for (std::size_t a = 0; a < n; ++a) {
                const double* ra = &jacobian[a * m];
                for (std::size_t i = 0; i < m; ++i) gradient[a] -= ra[i] * e[i];
                for (std::size_t b = 0; b <= a; ++b) {
                    const double* rb = &jacobian[b * m];
                    double s = 0.0;
                    for (std::size_t i = 0; i < m; ++i) s += ra[i] * rb[i];
                    normal[a * n + b] = s;
                    normal[b * n + a] = s;
                }
            }
            // Below the lowest mean, one more residual pulls the filters' mean back up.
            if (const double below = p_->lowestMean - Mean(residual_); below > 0.0) {
                const double weight = kMeanWeight * std::sqrt(static_cast<double>(m));
                std::vector<double> row(n, 0.0);
                for (std::size_t a = 0; a + (p_->centred ? 1 : 0) < n; ++a) {
                    const double* ra = &jacobian[a * m];
                    for (std::size_t i = 0; i < m; ++i) row[a] -= ra[i];
                    row[a] *= weight / static_cast<double>(m);
                }
                for (std::size_t a = 0; a < n; ++a) {
                    gradient[a] -= row[a] * weight * below;
                    for (std::size_t b = 0; b < n; ++b) normal[a * n + b] += row[a] * row[b];
                }
            }
            // A parameter held at its limit that wants to go further stays out of the step:
            // clamped steps would only creep along the limit.
            for (std::size_t k = 0; k < filters_.size(); ++k) {
                for (int d = 0; d < kParameters; ++d) {
                    const std::size_t a = k * kParameters + static_cast<std::size_t>(d);
                    const int side = AtLimit(filters_[k], d);
                    if (side == 0 || (side > 0) != (gradient[a] > 0.0)) continue;
                    for (std::size_t b = 0; b < n; ++b) normal[a * n + b] = normal[b * n + a] = 0.0;
                    normal[a * n + a] = 1.0;
                    gradient[a] = 0.0;
                }
            }
            bool improved = false;
            while (damping < 1e10) {
                std::vector<double> a = normal;
                for (std::size_t j = 0; j < n; ++j)
                    a[j * n + j] += damping * (normal[j * n + j] + 1e-9);
                std::vector<double> step = gradient;
                if (!SolveSymmetric(a, step, n)) {
                    damping *= 10.0;
                    continue;
                }
                std::vector<CookbookFilter> trial = filters_;
                std::vector<std::vector<double>> curves(filters_.size());
                std::vector<double> r = p_->residual;
                for (std::size_t k = 0; k < trial.size(); ++k) {
                    for (int d = 0; d < kParameters; ++d)
                        trial[k] =
                            Moved(trial[k], d, step[k * kParameters + static_cast<std::size_t>(d)]);
                    curves[k] = CurveAt(trial[k], angles_);
                    for (std::size_t i = 0; i < m; ++i) r[i] += curves[k][i];
                }
                const double c = Penalised(r);
                if (c < cost) {
                    const bool converged = c > cost * (1.0 - kConverged);
                    filters_ = std::move(trial);
                    curves_ = std::move(curves);
                    residual_ = std::move(r);
                    cost = c;
                    damping = std::max(damping / 4.0, 1e-9);
                    improved = !converged;
                    break;
                }
                damping *= 4.0;
            }
            if (!improved) break;
        }
    }

    const std::vector<CookbookFilter>& filters() const { return filters_; }

  private:
    CookbookFilter Clamp(CookbookFilter f) const {
        f.hz = std::clamp(f.hz, p_->lowHz, p_->highHz);
        f.gainDb = std::clamp(f.gainDb, p_->lowDb, p_->highDb);
        f.q = std::clamp(f.q, kLeastQ, kMostQ);
        return f;
    }
    // The filters' mean over the columns.
    double Mean(const std::vector<double>& r) const {
        double sum = 0.0;
        for (std::size_t i = 0; i < r.size(); ++i) sum += r[i] - p_->residual[i];
        return sum / static_cast<double>(r.size());
    }
    double Mean() const { return Mean(residual_); }
    // The cost, and the square of the mean's shortfall weighted as one more residual.
    double Penalised(const std::vector<double>& r) const {
        const double below = std::max(0.0, p_->lowestMean - Mean(r));
        const double weighted = kMeanWeight * std::sqrt(static_cast<double>(r.size())) * below;
        return Cost(r, p_->centred) + weighted * weighted;
    }
    // -1 at the parameter's lower limit, 1 at its upper one, else 0.
    int AtLimit(const CookbookFilter& f, int parameter) const {
        const auto side = [](double v, double low, double high) {
            return v <= low ? -1 : v >= high ? 1 : 0;
        };
        if (parameter == 0) return side(f.hz, p_->lowHz, p_->highHz);
        if (parameter == 1) return side(f.gainDb, p_->lowDb, p_->highDb);
        return side(f.q, kLeastQ, kMostQ);
    }
    CookbookFilter Moved(CookbookFilter f, int parameter, double by) const {
        if (parameter == 0) f.hz *= std::exp2(by);
        if (parameter == 1) f.gainDb += by;
        if (parameter == 2) f.q *= std::exp2(by);
        return Clamp(f);
    }

    const ContinuousProblem* p_;
    Angles angles_;
    std::vector<CookbookFilter> filters_;
    std::vector<std::vector<double>> curves_;
    std::vector<double> residual_;
};

} // namespace

std::vector<double> CookbookCurve(const CookbookFilter& f, const std::vector<double>& hz) {
    return CurveAt(f, AnglesOf(hz));
}

std::vector<CookbookFilter> FitCookbookFilters(const ContinuousProblem& problem, int count) {
    if (problem.hz.empty()) return {};
    const Shapes shapes = ShapesFor(problem, AnglesOf(problem.hz));
    Search s(problem);
    for (int n = 0; n < count; ++n) {
        s.Add(s.BestNew(shapes));
        s.Descend(kIterationsPerFilter);
    }
    s.Descend(kFinalIterations);
    // Restarts: each filter in turn taken out and placed afresh against the others.
    for (std::size_t k = 0; k < s.filters().size(); ++k) {
        Search trial = s;
        trial.Remove(k);
        trial.Add(trial.BestNew(shapes));
        trial.Descend(kFinalIterations);
        if (trial.cost() < s.cost()) s = std::move(trial);
    }
    return s.filters();
}

} // namespace zx
