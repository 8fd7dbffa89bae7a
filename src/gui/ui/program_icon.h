#pragma once

#include <QByteArray>
#include <QIcon>
#include <QList>
#include <QPixmap>

namespace zx {

// The program's icon: its SVG where Qt can read SVG, else the same picture drawn here (the
// Windows build has no SVG module).
QIcon ProgramIcon();

// The icon's picture drawn with the painter, `size` pixels square, transparent outside its
// rounded panel.
QPixmap DrawnProgramIcon(int size);

// The icon as a Windows icon file: one PNG-compressed image for each size, smallest first.
QByteArray ProgramIconFile(const QList<int>& sizes = {16, 24, 32, 48, 64, 256});

} // namespace zx
