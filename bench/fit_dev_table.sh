#!/bin/bash
# The fit on a folder of real measurements, as a table: per case the error with no EQ and
# with a continuous 8-filter cookbook fit (from the folder's baseline.tsv), the error before
# and after this fit (zephranox-preset fit --report), and the time of one tool run; then the
# medians and the cases at or below the continuous fit.
#
# usage: fit_dev_table.sh FOLDER TOOL [PLAIN]
#   FOLDER  holds cases.tsv (file, kind, curve, target, lo_hz, hi_hz), baseline.tsv (file,
#           raw_rms, cont_rms, ...), the measurements and targets/
#   TOOL    the zephranox-preset to run
#   PLAIN   optional: a folder with each measurement as plain two-column text under the same
#           name; then no --curve is passed
set -eu
folder=$1
tool=$2
plain=${3:-}
runs=$(mktemp)
trap 'rm -f "$runs" "$runs.report" "$runs.preset"' EXIT

# A tab is white space to `read`, which would merge an empty field into the next: split on a
# control character instead.
tail -n +2 "$folder/cases.tsv" | tr '\t' '\037' | while IFS=$'\037' read -r file kind curve target lo hi quirks; do
    measurement=$folder/$file
    if [ -n "$plain" ]; then
        measurement=$plain/$file
        curve=
    fi
    args=(fit --channel out_left --measurement "$measurement" --target "$folder/targets/$target"
        --range "$lo-$hi" --smooth 24 --max-boost 12 --report -o "$runs.preset")
    [ -n "$curve" ] && args+=(--curve "$curve")
    TIMEFORMAT='%R %U %S'
    times=$( { time "$tool" "${args[@]}" 2>"$runs.report" </dev/null >/dev/null || true; } 2>&1)
    read -r wall user system <<<"$times"
    before=$(sed -n 's/.*before: RMS \([0-9.]*\) dB.*/\1/p' "$runs.report")
    after=$(sed -n 's/.*after:  RMS \([0-9.]*\) dB.*/\1/p' "$runs.report")
    printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$file" "$kind" "${before:-nan}" "${after:-nan}" \
        "$wall" "$(echo "$user + $system" | bc)"
done >"$runs"

awk -F'\t' '
function median(a, n,   i, j, t) {
    for (i = 2; i <= n; ++i) for (j = i; j > 1 && a[j - 1] > a[j]; --j) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
    return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
}
NR == FNR { if (FNR > 1) { raw[$1] = $2; cont[$1] = $3 } next }
{
    ++n
    r[n] = raw[$1]; c[n] = cont[$1]; b[n] = $3; a[n] = $4; t[n] = $5; u[n] = $6
    at = $4 <= cont[$1] + 0.0005
    below += at
    worse += $4 > raw[$1]
    printf "%-38s %-4s %6.3f %6.3f %6.3f %6.3f %+7.3f %6.2f %6.2f%s\n", $1, $2, raw[$1], cont[$1], $3, $4, $4 - cont[$1], $5, $6, at ? "" : "  above CONT"
}
BEGIN { printf "%-38s %-4s %6s %6s %6s %6s %7s %6s %6s\n", "file", "kind", "RAW", "CONT", "before", "after", "-CONT", "wall s", "cpu s" }
END {
    printf "%-38s %-4s %6.3f %6.3f %6.3f %6.3f %7s %6.2f %6.2f\n", "median", "", median(r, n), median(c, n), median(b, n), median(a, n), "", median(t, n), median(u, n)
    printf "at or below CONT: %d of %d; worse than no EQ: %d\n", below, n, worse
}' "$folder/baseline.tsv" "$runs"
