#pragma once

#include "model/parameter_model.h"
#include "response/response_curves.h"

#include <QColor>
#include <QFont>
#include <QImage>

namespace zx {

// Channel colours of the overview, the legend swatches and the routing picture.
QColor ChannelColour(ChannelId ch);
// Marker colours by band 0..7 within its channel, the same for every channel.
QColor BandColour(int bandInChannel);
inline constexpr QRgb kSingleChannelRgb = qRgb(255, 0, 0);
inline constexpr QRgb kStartupLineRgb = qRgb(255, 0, 255);

QFont GraphLabelFont();

// The off-screen W × H grid, built once: black, grey frame, the eight dB rows, the 27
// frequency columns plus the 20 Hz and right-edge lines, and the scale labels.
QImage BuildGridBitmap(int w, int h);

// Copies the grid over everything drawn on the graph.
void CopyGrid(QImage& graph, const QImage& grid);

// One channel's plotted values (curve sum plus channel gain) as a line through every plot
// column; rows are not clipped, the picture clips the line.
void PlotChannelCurve(QImage& graph, const ResponseCurves& curves, ChannelId ch, double gainDb,
                      const QColor& colour, int penWidth);

// The eight markers of a channel as 8 × 8 squares in their band colours, then their numbers
// above them (rows up to 116) or below them.
void DrawBandMarkers(QImage& graph, const BandMarkers& markers, ChannelId ch);

// The picture before the first redraw: the grid and a magenta line along the 0 dB row.
void DrawStartupPicture(QImage& graph, const QImage& grid, int penWidth);

} // namespace zx
