# Sourced: a private Wine prefix in the Windows build folder ($WIN_DIR/wine), made once, with
# Liberation Sans standing in for Arial, and a wine server kept running until the caller
# stops it (`wineserver -k`, which also writes the registry back).
WINE=/usr/lib/wine/wine64 # Debian's `wine` wrapper asks for the 32-bit part
WINESERVER=/usr/lib/wine/wineserver
export WINEPREFIX WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WIN_DIR/wine"
WINEPREFIX=$(cd "$WIN_DIR/wine" && pwd)
$WINESERVER -p > /dev/null 2>&1 || true # its dump of objects on exit is no use here; one may run already
if [ ! -f "$WINEPREFIX/.zephranox-ready" ]; then
    echo "making the Wine prefix $WINEPREFIX"
    $WINE wineboot -i > /dev/null 2>&1
    $WINE reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /t REG_SZ \
        /d 'Liberation Sans' /f > /dev/null 2>&1
    touch "$WINEPREFIX/.zephranox-ready"
fi
