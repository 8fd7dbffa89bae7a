#pragma once

#include <QString>

#include <optional>

#include "model/parameter_model.h"
#include "response/response_curves.h"

namespace zx {

// The pointer area a dragged marker may occupy, both ends inclusive.
inline constexpr int kDragFirstColumn = 97;
inline constexpr int kDragLastColumn = 920;
inline constexpr int kDragFirstRow = 32;
inline constexpr int kDragLastRow = 198;

// The nearest frequency index (0..240) to a graph column; every column a marker is placed at
// maps back to its own index.
int ColumnToFrequencyIndex(int x);
// The nearest EQ gain index (0..180) to a graph row. Not the inverse of the row a gain is
// drawn at: row 86 (the 0 dB line) gives +0.2 dB.
int RowToGainIndex(int y);

// The first of the channel's bands 1..8 whose marker lies strictly within 8 pixels of the
// point both ways (a 15 × 15 square), or nullopt.
std::optional<EqBandId> HitBand(const BandMarkers& markers, ChannelId ch, int x, int y);

// One pointer move while a band is dragged: where its marker goes and the values it takes.
struct DragStep {
    BandMarker marker;
    int freqIndex = 0;
    int gainIndex = 0; // the active gain index of the band's type
};
// The marker follows the pointer only inside the drag area, each axis on its own. While the
// pointer row is outside the area the gain stays as it is: deriving it again from the marker
// row would creep by a step per move, since the row mapping is not its own inverse.
DragStep DragMove(const EqBandParams& band, BandMarker marker, int x, int y);

// A value as the fields show it while dragging: the shortest number, no fixed decimals
// (1000, 0, 19.7, -3.2).
QString ShortestNumberText(double v);

} // namespace zx
