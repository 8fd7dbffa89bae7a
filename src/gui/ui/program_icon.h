#pragma once

#include <QIcon>
#include <QPixmap>

namespace zx {

// The program's icon: its SVG where Qt can read SVG, else the same picture drawn here (the
// Windows build has no SVG module).
QIcon ProgramIcon();

// The icon's picture drawn with the painter, `size` pixels square, transparent outside its
// rounded panel.
QPixmap DrawnProgramIcon(int size);

} // namespace zx
