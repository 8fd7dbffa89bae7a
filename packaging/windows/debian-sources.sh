#!/bin/sh
# Makes Debian's source packages reachable: adds a deb-src entry for every deb entry of the
# machine's own sources (same mirror, suites and components), unless one exists already.
set -eu
SUDO=""; [ "$(id -u)" = 0 ] || SUDO=sudo
if grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    exit 0
fi
target=/etc/apt/sources.list.d/zephranox-deb-src.sources
for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    sed -n 's/^Types:[[:space:]]*deb[[:space:]]*$/Types: deb-src/;p' "$f"
    echo
done | $SUDO tee "$target" > /dev/null
if [ -f /etc/apt/sources.list ]; then
    sed -n 's/^deb[[:space:]]/deb-src /p' /etc/apt/sources.list | $SUDO tee -a "$target" > /dev/null
fi
echo "added $target"
$SUDO apt-get update -qq
