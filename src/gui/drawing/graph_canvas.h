#pragma once

#include "model/parameter_model.h"
#include "response/response_curves.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>

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
// On a high-density screen the picture holds devicePixelRatio device pixels per pixel of the
// graph: everything is still drawn at the graph's own pixel positions, only finer.
QImage BuildGridBitmap(int w, int h, qreal devicePixelRatio = 1.0);

// An empty picture of w × h graph pixels at the given device pixel ratio.
QImage GraphPicture(int w, int h, qreal devicePixelRatio);

// At ratio 1 an aliased line of odd width fills the pixels below and right of its
// coordinates, while at higher ratios the pen is centred on them: odd widths are moved half a
// pixel there, so that lines fill the same pixels at every ratio.
void AlignPenToPixels(QPainter& p, const QImage& target, int penWidth);

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
