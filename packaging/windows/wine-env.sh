# Sourced: a private Wine prefix in the Windows build folder ($WIN_DIR/wine), made once, with
# Liberation Sans standing in for Arial, and a wine server kept running for the session.
WINE=/usr/lib/wine/wine64 # Debian's `wine` wrapper asks for the 32-bit part
export WINEPREFIX WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
WINEPREFIX=$(cd "$WIN_DIR" && pwd)/wine
if [ ! -f "$WINEPREFIX/.zephranox-ready" ]; then
    echo "making the Wine prefix $WINEPREFIX"
    $WINE wineboot -i > /dev/null 2>&1
    $WINE reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /t REG_SZ \
        /d 'Liberation Sans' /f > /dev/null 2>&1
    /usr/lib/wine/wineserver -w
    touch "$WINEPREFIX/.zephranox-ready"
fi
/usr/lib/wine/wineserver -p
