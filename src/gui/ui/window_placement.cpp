#include "ui/window_placement.h"

#include <algorithm>

namespace zx {
namespace {

int Fit(int at, int length, int first, int size) {
    return std::max(first, std::min(at, first + size - length));
}

} // namespace

QPoint PlaceWindow(QPoint wanted, QSize outer, const QRect& available) {
    return {Fit(wanted.x(), outer.width(), available.x(), available.width()),
            Fit(wanted.y(), outer.height(), available.y(), available.height())};
}

} // namespace zx
