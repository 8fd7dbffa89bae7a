#!/bin/sh
# The Windows installer zephranox-<version>-setup.exe (NSIS) and the same files as a zip, in
# the Windows build folder $1, from the programs built there.
set -eu
WIN_DIR=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$WIN_DIR/CMakeCache.txt")
name=zephranox-$version
stage=$WIN_DIR/package/$name
rm -rf "$WIN_DIR/package"
mkdir -p "$stage"
for p in zephranox zephranox-ctl zephranox-preset zephranox-response; do
    cp "$WIN_DIR/bin/$p.exe" "$stage/"
done
"$here/stage-runtime.sh" "$stage"
rm "$stage/Qt6Test.dll" "$stage/platforms/qoffscreen.dll" # for the tests only
x86_64-w64-mingw32-strip "$stage"/*.exe
cp "$here/../copyright" "$stage/COPYRIGHT.txt"
cp "$here/../../LICENSE" "$stage/LICENSE.txt"
# The uninstaller removes exactly these files.
(cd "$stage" && find . -type f | sed 's|^\./||; s|/|\\|g; s|^|    Delete "$INSTDIR\\|; s|$|"|') \
    > "$WIN_DIR/package/uninstall-files.nsh"
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" \
    -DOUTFILE="$WIN_DIR/$name-setup.exe" "$here/zephranox.nsi"
rm -f "$WIN_DIR/$name-windows.zip"
(cd "$WIN_DIR/package" && cmake -E tar cf "$WIN_DIR/$name-windows.zip" --format=zip "$name")
ls -l "$WIN_DIR/$name-setup.exe" "$WIN_DIR/$name-windows.zip"
