#include "cookbook_fit.h"

#include "presets/filter_import.h"
#include "presets/filter_list.h"
#include "response/biquad_design.h"
#include "response/eq_response.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zx::test {
namespace {

constexpr double kRate = 96000.0;

struct Problem {
    std::vector<double> hz;
    std::vector<double> base; // measured - target
    double low = -24.0;
    double high = 6.0;
};

std::vector<double> FilterCurve(const CookbookFilter& f, const std::vector<double>& hz) {
    const double w0 = 2.0 * std::numbers::pi * f.hz / kRate;
    const BiquadSection s =
        CookbookPeaking(std::cos(w0), std::pow(10.0, f.gainDb / 40.0), std::sin(w0) / (2.0 * f.q));
    std::vector<double> out(hz.size());
    for (std::size_t i = 0; i < hz.size(); ++i)
        out[i] = 20.0 * std::log10(BiquadMagnitude(s, 2.0 * std::numbers::pi * hz[i] / kRate));
    return out;
}

double Cost(const std::vector<double>& r) {
    double sum = 0.0, squares = 0.0;
    for (double v : r) {
        sum += v;
        squares += v * v;
    }
    return squares - sum * sum / static_cast<double>(r.size());
}

struct Search {
    const Problem& p;
    std::vector<CookbookFilter> filters;
    std::vector<std::vector<double>> curves;
    std::vector<double> residual;

    double With(std::size_t k, const CookbookFilter& f, std::vector<double>& curve) const {
        curve = FilterCurve(f, p.hz);
        std::vector<double> r = residual;
        for (std::size_t i = 0; i < r.size(); ++i) r[i] += curve[i] - curves[k][i];
        return Cost(r);
    }
    void Set(std::size_t k, const CookbookFilter& f, std::vector<double> curve) {
        for (std::size_t i = 0; i < residual.size(); ++i) residual[i] += curve[i] - curves[k][i];
        filters[k] = f;
        curves[k] = std::move(curve);
    }
    CookbookFilter Clamp(CookbookFilter f) const {
        f.hz = std::clamp(f.hz, 20.0, 20000.0);
        f.gainDb = std::clamp(f.gainDb, p.low, p.high);
        f.q = std::clamp(f.q, 0.2, 20.0);
        return f;
    }
    // Pattern search: each parameter moves by its step while that helps; steps grow on
    // success and shrink on failure, until all are small.
    void Polish() {
        std::vector<std::array<double, 3>> steps(filters.size(), {0.25, 1.0, 0.3});
        for (int round = 0; round < 400; ++round) {
            bool any = false;
            for (std::size_t k = 0; k < filters.size(); ++k) {
                for (int d = 0; d < 3; ++d) {
                    double& step = steps[k][static_cast<std::size_t>(d)];
                    if (step < 1e-4) continue;
                    any = true;
                    const double now = Cost(residual);
                    bool moved = false;
                    for (double sign : {1.0, -1.0}) {
                        CookbookFilter f = filters[k];
                        if (d == 0) f.hz *= std::pow(2.0, sign * step);
                        if (d == 1) f.gainDb += sign * step;
                        if (d == 2) f.q *= std::pow(2.0, sign * step);
                        f = Clamp(f);
                        std::vector<double> curve;
                        if (With(k, f, curve) < now * (1.0 - 1e-12)) {
                            Set(k, f, std::move(curve));
                            moved = true;
                            break;
                        }
                    }
                    step *= moved ? 1.5 : 0.5;
                }
            }
            if (!any) break;
        }
    }
};

} // namespace

CookbookFit FitCookbook(const ResponseCurve& measured, const ResponseCurve& target,
                        const FitOptions& options, int count) {
    Problem p;
    p.high = options.maxBoostDb;
    const ColumnAngles& angles = PlotColumnAngles();
    for (int x = kGraph.firstPlotColumn(); x <= kGraph.lastPlotColumn(); ++x) {
        const auto i = static_cast<std::size_t>(GraphGeometry::CurveIndex(x));
        const double hz = angles.frequency[i];
        if (hz < options.lowHz || hz > options.highHz) continue;
        if (!std::isfinite(measured[i]) || !std::isfinite(target[i])) continue;
        p.hz.push_back(hz);
        p.base.push_back(measured[i] - target[i]);
    }
    Search s{p, {}, {}, p.base};
    for (int n = 0; n < count; ++n) {
        // The largest error after the offset, answered by a filter of the opposite gain.
        double mean = 0.0;
        for (double v : s.residual) mean += v;
        mean /= static_cast<double>(s.residual.size());
        std::size_t worst = 0;
        for (std::size_t i = 0; i < s.residual.size(); ++i) {
            if (std::abs(s.residual[i] - mean) > std::abs(s.residual[worst] - mean)) worst = i;
        }
        s.filters.push_back(s.Clamp({p.hz[worst], -(s.residual[worst] - mean), 2.0}));
        s.curves.emplace_back(p.hz.size(), 0.0);
        std::vector<double> curve;
        s.With(s.filters.size() - 1, s.filters.back(), curve);
        s.Set(s.filters.size() - 1, s.filters.back(), std::move(curve));
        s.Polish();
    }
    return {s.filters, std::sqrt(Cost(s.residual) / static_cast<double>(p.hz.size()))};
}

QString CookbookList(const CookbookFit& fit) {
    QString out;
    for (const CookbookFilter& f : fit.filters) {
        out += QStringLiteral("Filter: ON PK Fc %1 Hz Gain %2 dB Q %3\n")
                   .arg(QString::number(f.hz, 'f', 1), QString::number(f.gainDb, 'f', 1),
                        QString::number(f.q, 'f', 2));
    }
    return out;
}

ParameterModel TypedIn(const CookbookFit& fit, ChannelId ch) {
    ParameterModel m;
    ImportFilterList(ReadFilterList(CookbookList(fit)), {ch}, m);
    return m;
}

} // namespace zx::test
