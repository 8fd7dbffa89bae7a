#pragma once

#include <array>
#include <cstddef>

namespace zx {

// The response graph's pixel mappings. Every mapping truncates toward zero, so values on
// either side of the 0 dB row or of 20 Hz round toward it.
struct GraphGeometry {
    int w = 937;
    int h = 249;
    int l = 80; // spare width left of 20 Hz
    int r = 44; // spare width right of 20 kHz

    static constexpr GraphGeometry Of(int width, int height) {
        return {width, height, static_cast<int>((width - 46) * 0.09),
                static_cast<int>((width - 46) * 0.05)};
    }

    constexpr int firstPlotColumn() const { return 42; }
    constexpr int lastPlotColumn() const { return w - 7; }
    constexpr int plotColumnCount() const { return lastPlotColumn() - firstPlotColumn() + 1; }
    static constexpr int CurveIndex(int column) { return column - 41; }

    // f(x) = 20 × 10^(3 (x − 41 − L) / (W − 46 − L − R)): 20 Hz at column 121, 20 kHz at 888.
    double ColumnFrequency(int x) const;
    int FrequencyToColumn(double hz) const;
    // +15 dB is row 16, 0 dB row 86, −30 dB row 227.
    int GainToRow(double db) const;
    // The gain a band is computed with, read back from its marker row to a tenth of a dB.
    double MarkerGain(int y) const;
    // Row of a channel's plotted value: the curve sum and the channel gain, not clipped.
    int SumRow(double sum, double gainDb) const;

    // Grid rows j = 1..8 (row 3 is the 0 dB line) and the column of a grid frequency; the
    // grid uses W − 47 where curves use W − 46, so grid lines sit up to a column further left.
    int GridRow(int j) const;
    int GridColumn(double hz) const;
};

inline constexpr GraphGeometry kGraph = GraphGeometry::Of(937, 249);
static_assert(kGraph.l == 80 && kGraph.r == 44);

inline constexpr int kGridRowCount = 8;
inline constexpr int kZeroDbGridRow = 3;
// 20, 30 .. 100, 200 .. 1000, 2000 .. 10000 Hz.
inline constexpr int kGridFrequencyCount = 27;
std::array<double, kGridFrequencyCount> GridFrequencies();

// One value per graph column in curve decibels; only the plot columns (index = column − 41,
// 1..889) are ever written.
inline constexpr std::size_t kResponseCurveSize = 938;
using ResponseCurve = std::array<double, kResponseCurveSize>;

// What depends only on a plot column and never changes: its frequency and the cosine and
// sine of its angle, in the two forms the curves use (the peaking band's 2 × 3.141592 and
// everyone else's 2π).
struct ColumnAngles {
    ResponseCurve frequency{};
    ResponseCurve peakingCos{};
    ResponseCurve peakingSin{};
    ResponseCurve cos{};
    ResponseCurve sin{};
};
const ColumnAngles& PlotColumnAngles();

} // namespace zx
