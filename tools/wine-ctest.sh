#!/usr/bin/env bash
# Runs a Windows build's tests under Wine (wine64) with CTest, from the source folder:
#   tools/wine-ctest.sh <build folder> [ctest arguments...]   e.g. build-win64 --preset win64
# Needs a display for the dialog tests: run it under xvfb-run. One wineserver per build
# folder, started detached with its output closed, so Wine's service processes never hold
# CTest's pipes open; it is ended when the tests are.
set -euo pipefail
build=$(cd "${1:?usage: wine-ctest.sh <build folder> [ctest arguments...]}" && pwd)
shift
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64
for program in "$wine" "$wineserver"; do
    if [ ! -x "$program" ]; then
        echo "wine-ctest.sh: $program is missing (Debian package wine64)" >&2
        exit 1
    fi
done
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all
mkdir -p "$WINEPREFIX"

setsid "$wineserver" -p </dev/null >/dev/null 2>&1
trap '"$wineserver" -k 2>/dev/null || true' EXIT
# The first program creates or updates the prefix (about 15 s the first time) and starts
# Wine's services, all detached from CTest. It also leaves Wine's windows unmanaged: no
# window manager runs under Xvfb, and Wine waits 2 s for one whenever a window is hidden.
if ! "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
    </dev/null >"$build/wineprefix-start.log" 2>&1; then
    echo "wine-ctest.sh: Wine could not start in $WINEPREFIX:" >&2
    cat "$build/wineprefix-start.log" >&2
    exit 1
fi
# The dialogs name Tahoma; Debian ships Wine's own face (fonts-wine) where this Wine does
# not look, so the prefix gets it as an installed font.
fonts="$WINEPREFIX/drive_c/windows/Fonts"
mkdir -p "$fonts"
for face in /usr/share/wine/fonts/tahoma.ttf /usr/share/wine/fonts/tahomabd.ttf; do
    if [ -f "$face" ]; then
        ln -sf "$face" "$fonts/"
    fi
done
cd "$(dirname "$0")/.."
ctest "$@"
