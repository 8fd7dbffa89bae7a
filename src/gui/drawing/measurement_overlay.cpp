#include "drawing/measurement_overlay.h"

#include "drawing/graph_canvas.h"

#include <QFontMetrics>
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

struct LegendEntry {
    const char* text;
    QRgb rgb;
    bool dashed;
};
constexpr std::array<LegendEntry, 3> kLegend = {{
    {"measured", kMeasurementRgb, false},
    {"target", kTargetRgb, true},
    {"predicted", kPredictedRgb, false},
}};
constexpr int kSwatch = 16; // a line's length before its name
constexpr int kGap = 4;     // between a line and its name
constexpr int kSpace = 12;  // between entries

int LegendWidth(const QFontMetrics& fm) {
    int w = 0;
    for (const LegendEntry& e : kLegend)
        w += kSwatch + kGap + fm.horizontalAdvance(QLatin1String(e.text)) + kSpace;
    return w - kSpace;
}

void DrawLegend(QPainter& p, int penWidth) {
    const QFont font = GraphLabelFont();
    const QFontMetrics fm(font);
    const QRect box = MeasurementLegendRect();
    p.setFont(font);
    const int mid = box.center().y();
    int x = box.left();
    for (const LegendEntry& e : kLegend) {
        p.setPen(QPen(QColor(e.rgb), penWidth));
        if (e.dashed) {
            p.drawLine(x, mid, x + kSwatch / 2 - 2, mid);
            p.drawLine(x + kSwatch / 2 + 2, mid, x + kSwatch, mid);
        } else {
            p.drawLine(x, mid, x + kSwatch, mid);
        }
        x += kSwatch + kGap;
        const QString text = QLatin1String(e.text);
        p.drawText(x, box.top() + fm.ascent(), text);
        x += fm.horizontalAdvance(text) + kSpace;
    }
}

} // namespace

QRect MeasurementLegendRect() {
    const QFontMetrics fm(GraphLabelFont());
    // The frame's top line is row 17 and its right edge column w − 6.
    const int right = kGraph.w - 6;
    const int width = LegendWidth(fm);
    return {right - width, 16 - fm.height(), width, fm.height()};
}

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
    DrawLegend(p, penWidth);
}

} // namespace zx
