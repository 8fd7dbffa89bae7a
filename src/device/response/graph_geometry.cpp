#include "response/graph_geometry.h"

#include <algorithm>
#include <cmath>

namespace zx {

double GraphGeometry::ColumnFrequency(int x) const {
    return 20.0 * std::pow(10.0, 3.0 * (x - 41 - l) / (w - 46 - l - r));
}

int GraphGeometry::FrequencyToColumn(double hz) const {
    return static_cast<int>(std::log10(hz / 20.0) * (w - 46 - l - r) / 3.0 + 41 + l);
}

int GraphGeometry::GainToRow(double db) const {
    return static_cast<int>((15.0 - db) / 45.0 * (h - 38) + 16);
}

double GraphGeometry::MarkerGain(int y) const {
    return std::trunc((15.0 - static_cast<double>(y - 16) / (h - 38) * 45.0) * 10.0) / 10.0;
}

int GraphGeometry::SumRow(double sum, double gainDb) const {
    const double row = (15.0 - sum - gainDb) / 45.0 * (h - 38) + 16;
    // A row far outside the picture is clipped anyway; the bound keeps the conversion
    // defined for any sum (a zero magnitude would give an infinite one).
    constexpr double kFar = 100000.0;
    if (!(row > -kFar)) return static_cast<int>(-kFar);
    return static_cast<int>(std::min(row, kFar));
}

int GraphGeometry::GridRow(int j) const {
    return static_cast<int>((h - 40) / 9.0 * j) + 17;
}

int GraphGeometry::GridColumn(double hz) const {
    return static_cast<int>(std::log(hz / 20.0) / std::log(10.0) * ((w - 47 - l - r) / 3.0)) + 41 +
           l;
}

std::array<double, kGridFrequencyCount> GridFrequencies() {
    std::array<double, kGridFrequencyCount> f{};
    std::size_t i = 0;
    f[i++] = 20.0;
    for (int k = 3; k <= 10; ++k) f[i++] = 10.0 * k;
    for (int k = 2; k <= 10; ++k) f[i++] = 100.0 * k;
    for (int k = 2; k <= 10; ++k) f[i++] = 1000.0 * k;
    return f;
}

namespace {

ColumnAngles BuildColumnAngles() {
    ColumnAngles a;
    for (int x = kGraph.firstPlotColumn(); x <= kGraph.lastPlotColumn(); ++x) {
        const auto i = static_cast<std::size_t>(GraphGeometry::CurveIndex(x));
        const double f = kGraph.ColumnFrequency(x);
        const double peakingW = 2.0 * 3.141592 * f / 96000.0;
        const double w = 6.283185307179586 * f / 96000.0;
        a.frequency[i] = f;
        a.peakingCos[i] = std::cos(peakingW);
        a.peakingSin[i] = std::sin(peakingW);
        a.cos[i] = std::cos(w);
        a.sin[i] = std::sin(w);
    }
    return a;
}

} // namespace

const ColumnAngles& PlotColumnAngles() {
    static const ColumnAngles angles = BuildColumnAngles();
    return angles;
}

} // namespace zx
