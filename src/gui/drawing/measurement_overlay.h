#pragma once

#include "response/response_curves.h"

#include <QImage>
#include <QRect>

namespace zx {

// A channel's measurement on the graph's plot columns (NaN where it has no data), already
// shifted by the level offset that brings it near the target, and the target itself.
struct MeasurementOverlay {
    ResponseCurve measured;
    ResponseCurve target;
};

inline constexpr QRgb kMeasurementRgb = qRgb(118, 128, 150);
inline constexpr QRgb kTargetRgb = qRgb(220, 220, 220);
inline constexpr QRgb kPredictedRgb = qRgb(255, 176, 0);

// Over the channel's curve and markers: the measurement in a muted colour, the target dashed
// and what the measurement becomes with the channel's drawn response (its curve sum and gain),
// and the legend of the three.
void DrawMeasurementOverlay(QImage& graph, const ResponseCurves& curves, ChannelId ch,
                            double gainDb, const MeasurementOverlay& overlay, int penWidth);

// Where the overlay's legend goes: "measured", "target" and "predicted" in their colours, in
// one row above the frame's top right corner, clear of the grid and its labels.
QRect MeasurementLegendRect();

} // namespace zx
