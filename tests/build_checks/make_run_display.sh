#!/usr/bin/env bash
# `make run` without a display stops before installing or building anything, with one line
# that says what is missing, instead of Qt's abort after the build; with a display (or a Qt
# platform of the user's choice) it goes on. The build folder is one cmake cannot create and
# no package is installed, so a run that goes on stops at its first configure.
# Usage: make_run_display.sh SOURCE_DIR
set -uo pipefail
source_dir=$1
message='make run: no display (DISPLAY is not set)'

failed=0
# environment                    | says "no display"
cases=(
    "                             | yes"
    "DISPLAY=:97                  | no"
    "QT_QPA_PLATFORM=offscreen    | no"
)
for row in "${cases[@]}"; do
    settings=$(echo "${row%%|*}" | xargs)
    expected=$(echo "${row##*|}" | xargs)
    out=$(env -u DISPLAY -u QT_QPA_PLATFORM -u MAKEFLAGS -u MFLAGS -u MAKELEVEL $settings \
          make -s -C "$source_dir" run BUILD_DIR=/dev/null/build PACKAGES= 2>&1)
    status=$?
    # The line first, and nothing after it but make's own error line.
    said=no
    if [[ $out == "$message"* ]] && ! grep -qv -e "^$message" -e '^make: \*\*\*' <<< "$out"; then
        said=yes
    fi
    if [ $status = 0 ] || [ $said != "$expected" ]; then
        echo "with '${settings:-nothing set}': status $status, expected the one line: $expected; it printed:"
        echo "$out" | sed 's/^/    /'
        failed=1
    fi
done
exit $failed
