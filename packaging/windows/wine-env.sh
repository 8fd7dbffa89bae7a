# Sourced: a private Wine prefix in the Windows build folder ($WIN_DIR/wine), made once, with
# Liberation Sans standing in for Arial, and a wine server kept running until the caller
# stops it (`wineserver -k`, which also writes the registry back). The offscreen platform
# on Windows reads its fonts from one folder (QT_QPA_FONTDIR), not from the system: there
# the fonts the Linux tests draw with, Liberation Sans for Arial and WenQuanYi Micro Hei for
# the full-width "：" and "，".
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
fonts="$WINEPREFIX/offscreen-fonts"
mkdir -p "$fonts"
for f in /usr/share/fonts/truetype/liberation/LiberationSans-*.ttf \
    /usr/share/fonts/truetype/wqy/wqy-microhei.ttc; do
    if [ -e "$f" ]; then ln -sfn "$f" "$fonts/"; fi
done
# Wine passes no QT_ variable on from the Unix environment; its registry's environment does.
if [ "$($WINE reg query 'HKCU\Environment' /v QT_QPA_FONTDIR 2> /dev/null |
    tr -d '\r' | awk '/QT_QPA_FONTDIR/ {print $3}')" != "Z:$fonts" ]; then
    $WINE reg add 'HKCU\Environment' /v QT_QPA_FONTDIR /t REG_SZ /d "Z:$fonts" /f > /dev/null 2>&1
fi
