#include "response/graph_drag.h"

#include <algorithm>

#include "model/entry_fields.h"
#include "model/value_scales.h"
#include "response/graph_geometry.h"

namespace zx {

int ColumnToFrequencyIndex(int x) {
    return SnapFrequency(kGraph.ColumnFrequency(x));
}

int RowToGainIndex(int y) {
    const double g = 15.0 - static_cast<double>(y - 18) / (kGraph.h - 42) * 45.0;
    return SnapGain(g);
}

std::optional<EqBandId> HitBand(const BandMarkers& markers, ChannelId ch, int x, int y) {
    for (int b = 0; b < kBandsPerChannel; ++b) {
        const EqBandId id = BandId(ch, b);
        const BandMarker& m = markers[static_cast<std::size_t>(id)];
        if (m.x - 8 < x && x < m.x + 8 && m.y - 8 < y && y < m.y + 8) return id;
    }
    return std::nullopt;
}

DragStep DragMove(const EqBandParams& band, BandMarker marker, int x, int y) {
    DragStep step{marker, 0, ActiveGainIndex(band)};
    if (x >= kDragFirstColumn && x <= kDragLastColumn) step.marker.x = x;
    const bool rowInside = y >= kDragFirstRow && y <= kDragLastRow;
    if (rowInside) step.marker.y = y;
    step.freqIndex = std::min(ColumnToFrequencyIndex(step.marker.x), kMaxFrequencyIndex);
    if (rowInside) step.gainIndex = std::min(RowToGainIndex(step.marker.y), kMaxEqGainIndex);
    return step;
}

QString ShortestNumberText(double v) {
    return QString::number(v, 'g', 10);
}

} // namespace zx
