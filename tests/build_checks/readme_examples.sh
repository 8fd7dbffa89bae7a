#!/usr/bin/env bash
# Keeps the README true: runs every fenced block it marks ```sh checked, each in a folder of
# its own with the built programs first on PATH, as a reader would type it (the simulated
# amplifier stands in for the hardware), and checks that every switch amp-sim's --help
# names appears in the README. Any block that fails fails the check.
# Usage: readme_examples.sh README.md PROGRAM_DIR...
set -uo pipefail
readme=$1
shift
path=""
for dir in "$@"; do path="$path$dir:"; done
export PATH="$path$PATH"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failed=0
count=0
block=""
inside=0
while IFS= read -r line || [ -n "$line" ]; do
    if [ $inside = 0 ] && [ "$line" = '```sh checked' ]; then
        inside=1
        block=""
        start=$((lineno + 1))
    elif [ $inside = 1 ] && [ "$line" = '```' ]; then
        inside=0
        count=$((count + 1))
        dir="$work/block$count"
        mkdir "$dir"
        # What the block leaves running in the background (a failed block's amp-sim) ends
        # with it.
        ends='trap "kill \$(jobs -p) 2>/dev/null || true" EXIT; trap "exit 143" TERM'
        out=$(cd "$dir" && timeout 120 bash -e -o pipefail -c "$ends"$'\n'"$block" 2>&1)
        status=$?
        if [ $status != 0 ]; then
            echo "README line $start: the example failed with status $status:"
            echo "$block" | sed 's/^/    /'
            echo "  it printed:"
            echo "$out" | sed 's/^/    /'
            failed=1
        fi
    elif [ $inside = 1 ]; then
        block+="$line"$'\n'
    fi
    lineno=$((${lineno:-0} + 1))
done < "$readme"

if [ $count = 0 ]; then
    echo "no \`\`\`sh checked block in $readme"
    failed=1
fi

for switch in $(amp-sim --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
    if ! grep -q -- "\`$switch" "$readme"; then
        echo "amp-sim's $switch is not in $readme"
        failed=1
    fi
done

echo "$count README examples run"
exit $failed
