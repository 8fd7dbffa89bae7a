#!/bin/sh
# Builds what the Windows build links against, from Debian's own source packages, with
# MinGW-w64 into one cache folder outside the source tree (ZEPHRANOX_QT_WIN):
#   Qt 6.4.2 qtbase (Core, Gui, Widgets, Network, Test; the windows and offscreen platforms),
#   Highway and GoogleTest (static).
# Idempotent: each part is built once; a finished part leaves a stamp in the folder.
# The cross-build uses the host Qt's moc, rcc and uic (QT_HOST_PATH), so both are 6.4.2.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
PREFIX=${ZEPHRANOX_QT_WIN:-$HOME/.cache/zephranox/qt-6.4.2-mingw64}
WORK=${ZEPHRANOX_QT_WIN_WORK:-$PREFIX-work}
JOBS=${JOBS:-$(nproc)}
TOOLCHAIN=$here/mingw64-toolchain.cmake
start=$(date +%s)

# Fetches and unpacks a Debian source package into $WORK once; prints its folder.
debian_source() {
    mkdir -p "$WORK/src"
    dir=$(find "$WORK/src" -maxdepth 1 -type d -name "$1-*" | head -n 1)
    if [ -z "$dir" ]; then
        "$here/debian-sources.sh" >&2
        (cd "$WORK/src" && apt-get source -qq "$1" >&2)
        dir=$(find "$WORK/src" -maxdepth 1 -type d -name "$1-*" | head -n 1)
    fi
    echo "$dir"
}

build_qt() {
    [ -f "$PREFIX/.qtbase-done" ] && return
    src=$(debian_source qt6-base)
    # Debian leaves out the tablet headers (3rdparty/wintab): no tablet events. With OpenGL
    # off, 6.4.2's windows platform does not compile; on, Windows gets dynamic OpenGL.
    cmake -G Ninja -S "$src" -B "$WORK/qtbase" \
        -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$PREFIX" -DBUILD_SHARED_LIBS=ON \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
        -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF \
        -DFEATURE_tabletevent=OFF -DFEATURE_opengl=ON \
        -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
        -DFEATURE_system_freetype=OFF -DFEATURE_system_libpng=OFF -DFEATURE_system_jpeg=OFF \
        -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_md4c=OFF
    cmake --build "$WORK/qtbase" -j "$JOBS"
    cmake --install "$WORK/qtbase"
    touch "$PREFIX/.qtbase-done"
}

# A plain CMake project cross-built and installed into $PREFIX.
build_cmake() { # name, source, cmake arguments...
    name=$1; src=$2; shift 2
    [ -f "$PREFIX/.$name-done" ] && return
    cmake -G Ninja -S "$src" -B "$WORK/$name" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" -DBUILD_SHARED_LIBS=OFF "$@"
    cmake --build "$WORK/$name" -j "$JOBS"
    cmake --install "$WORK/$name"
    touch "$PREFIX/.$name-done"
}

build_qt
build_cmake highway "$(debian_source highway)" -DHWY_ENABLE_TESTS=OFF \
    -DHWY_ENABLE_EXAMPLES=OFF -DHWY_ENABLE_CONTRIB=OFF -DHWY_WARNINGS_ARE_ERRORS=OFF
build_cmake googletest /usr/src/googletest -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON

echo "Qt, Highway and GoogleTest for Windows in $PREFIX ($(( $(date +%s) - start )) s)"
