#!/bin/bash
# The Windows test programs under Wine on the offscreen platform, then the real-line test: the
# Linux amp-sim on a pseudo-terminal, Wine's COM5 leading to it and listed in the registry,
# and the Windows window code connecting through it (tests/gui/app/com_line_test.cpp).
# Usage: wine-tests.sh WIN_DIR AMP_SIM [TEST_PROGRAM...]   (default: every test_*.exe)
set -euo pipefail
WIN_DIR=$1
amp_sim=$(realpath "$2")
shift 2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
trap '$WINESERVER -k 2> /dev/null || true' EXIT
bin=$(cd "$WIN_DIR/bin" && pwd)
cd "$bin"
programs=("$@")
[ ${#programs[@]} -gt 0 ] || programs=(test_*.exe)

total=0
failed=()
for p in "${programs[@]}"; do
    start=$(date +%s)
    # QT_QPA_PLATFORM does not reach a program under Wine; the argument does.
    if timeout 900 "$WINE" "./$p" -platform offscreen --gtest_brief=1 > "$p.log" 2>&1; then
        status=ok
    else
        status=FAILED
        failed+=("$p")
        tail -n 40 "$p.log"
    fi
    n=$(sed -n 's/.*\[  PASSED  \] \([0-9]*\) test.*/\1/p' "$p.log" | tail -n 1)
    total=$((total + ${n:-0}))
    echo "$p: ${n:-0} passed, $status ($(($(date +%s) - start)) s)"
done

# The real line (WINDOWS_REAL_LINE=0 leaves it out).
if [ "${WINDOWS_REAL_LINE:-1}" = 0 ]; then
    echo "Windows tests under Wine: $total passed${failed:+, failed: ${failed[*]}}"
    [ ${#failed[@]} -eq 0 ]
    exit
fi
dir=$(mktemp -d)
sim=
cleanup() {
    if [ -n "$sim" ]; then kill "$sim" 2> /dev/null || true; fi
    rm -rf "$dir"
    $WINESERVER -k 2> /dev/null || true
}
trap cleanup EXIT
"$amp_sim" --quiet --link "$dir/ttyV0" > "$dir/port" &
sim=$!
for _ in $(seq 50); do [ -s "$dir/port" ] && break; sleep 0.1; done
ln -sfn "$(readlink -f "$dir/ttyV0")" "$WINEPREFIX/dosdevices/com5"
"$WINE" reg add 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v ZephranoxTest /t REG_SZ /d COM5 /f \
    > /dev/null 2>&1
ZX_COM_PORT=COM5 ZX_COM_PULL="Z:$dir/pull" timeout 300 "$WINE" ./test_app.exe -platform offscreen \
    --gtest_filter='ComLine.*' > com_line.log 2>&1 &
test=$!
for _ in $(seq 300); do
    [ -e "$dir/pull" ] && break
    kill -0 "$test" 2> /dev/null || break
    sleep 0.1
done
[ -e "$dir/pull" ] && kill "$sim" && sim= # the line is pulled: the terminal's far end is gone
if wait "$test" && grep -q '\[  PASSED  \] 1 test' com_line.log; then
    total=$((total + 1))
    grep 'connect to names' com_line.log || true
    echo "real line over COM5: ok"
else
    failed+=("real line over COM5")
    cat com_line.log
fi

echo "Windows tests under Wine: $total passed${failed:+, failed: ${failed[*]}}"
[ ${#failed[@]} -eq 0 ]
