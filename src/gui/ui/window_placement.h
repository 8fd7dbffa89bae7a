#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace zx {

// Where a window of the given outer size goes on a screen's free area: at its own point when
// it lies wholly there, otherwise moved the least that brings it wholly onto the area. A
// window larger than the area keeps its top left corner, and so its caption, on it.
QPoint PlaceWindow(QPoint wanted, QSize outer, const QRect& available);

} // namespace zx
