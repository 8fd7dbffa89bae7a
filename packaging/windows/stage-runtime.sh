#!/bin/sh
# Puts beside the Windows programs in folder $1 what they load at run time: the MinGW runtime,
# the Qt libraries and the Qt plugins they use (the windows and offscreen platforms and the
# native style). Qt looks for plugins in the program's folder first, so none of it needs an
# installation or a path. Only files that changed are copied.
set -eu
bin=$1
QT=${ZEPHRANOX_QT_WIN:-$HOME/.cache/zephranox/qt-6.4.2-mingw64}
gcc_dir=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
mkdir -p "$bin/platforms" "$bin/styles"
cp -u "$gcc_dir/libstdc++-6.dll" "$gcc_dir/libgcc_s_seh-1.dll" \
    /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll "$bin/"
for lib in Core Gui Widgets Network Test; do cp -u "$QT/bin/Qt6$lib.dll" "$bin/"; done
cp -u "$QT/plugins/platforms/qwindows.dll" "$QT/plugins/platforms/qoffscreen.dll" \
    "$bin/platforms/"
cp -u "$QT/plugins/styles/qwindowsvistastyle.dll" "$bin/styles/"
