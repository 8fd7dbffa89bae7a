#include "drawing/measurement_overlay.h"

#include "drawing/graph_canvas.h"

#include <QPainter>
#include <QPen>
#include <QPoint>

#include <array>
#include <cmath>

namespace zx {
namespace {

using Points = std::array<QPoint, kResponseCurveSize>;

// Each stretch of known columns as its own line; `rowAt` gives the row of a column index.
template <typename RowAt>
void DrawKnownRuns(QPainter& p, const ResponseCurve& values, const RowAt& rowAt) {
    Points points;
    int n = 0;
    const auto flush = [&] {
        if (n > 1) p.drawPolyline(points.data(), n);
        n = 0;
    };
    for (int x = kGraph.firstPlotColumn(); x <= kGraph.lastPlotColumn(); ++x) {
        const auto i = static_cast<std::size_t>(GraphGeometry::CurveIndex(x));
        if (!std::isfinite(values[i])) {
            flush();
            continue;
        }
        points[static_cast<std::size_t>(n++)] = QPoint(x, rowAt(i));
    }
    flush();
}

// Dashes of whole columns, drawn as separate short lines: a dashed pen would stroke the same
// picture several times slower, and the target is drawn on every step of a drag.
void DrawDashed(QPainter& p, const ResponseCurve& values) {
    static constexpr int kDash = 6;
    static constexpr int kPeriod = 10;
    std::array<QLine, kResponseCurveSize / kPeriod + 2> dashes;
    std::size_t n = 0;
    for (int x = kGraph.firstPlotColumn(); x + kDash <= kGraph.lastPlotColumn(); x += kPeriod) {
        const auto i = static_cast<std::size_t>(GraphGeometry::CurveIndex(x));
        const auto j = i + kDash;
        if (!std::isfinite(values[i]) || !std::isfinite(values[j])) continue;
        dashes[n++] =
            QLine(x, kGraph.SumRow(values[i], 0.0), x + kDash, kGraph.SumRow(values[j], 0.0));
    }
    p.drawLines(dashes.data(), static_cast<int>(n));
}

} // namespace

void DrawMeasurementOverlay(QImage& graph, const ResponseCurves& curves, ChannelId ch,
                            double gainDb, const MeasurementOverlay& overlay, int penWidth) {
    QPainter p(&graph);
    AlignPenToPixels(p, graph, penWidth);
    const auto pen = [penWidth](QRgb rgb) {
        return QPen(QColor(rgb), penWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    };
    p.setPen(pen(kMeasurementRgb));
    DrawKnownRuns(p, overlay.measured,
                  [&](std::size_t i) { return kGraph.SumRow(overlay.measured[i], 0.0); });
    p.setPen(pen(kTargetRgb));
    DrawDashed(p, overlay.target);
    p.setPen(pen(kPredictedRgb));
    DrawKnownRuns(p, overlay.measured, [&](std::size_t i) {
        const int x = static_cast<int>(i) + kGraph.firstPlotColumn() - 1;
        return kGraph.SumRow(ChannelSum(curves, ch, x) + overlay.measured[i], gainDb);
    });
}

} // namespace zx
