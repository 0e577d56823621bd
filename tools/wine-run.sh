#!/usr/bin/env bash
# Runs a command against a Windows build's Wine prefix (wine64), from the source folder:
#   tools/wine-run.sh <build folder> <command...>    e.g. build-win64 ctest --preset win64
# The prefix is <build folder>/wineprefix. Dialogs need a display: run it under xvfb-run. One
# wineserver per prefix, started detached with its output closed, so Wine's service processes
# never hold the command's pipes open (CTest would wait for them); it is ended afterwards.
set -euo pipefail
build=$(cd "${1:?usage: wine-run.sh <build folder> <command...>}" && pwd)
shift
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64
for program in "$wine" "$wineserver"; do
    if [ ! -x "$program" ]; then
        echo "wine-run.sh: $program is missing (Debian package wine64)" >&2
        exit 1
    fi
done
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all
mkdir -p "$WINEPREFIX"

# Starts that tools/wine-exec.sh had to repeat (here, or in the build's test discovery before)
# are listed once, when the command ends.
restarts="$build/wine-restarts.log"
finish() {
    "$wineserver" -k 2>/dev/null || true
    if [ -s "$restarts" ]; then
        echo "wine-run.sh: Wine failed to start a program, which was started again:" >&2
        cat "$restarts" >&2
        rm -f "$restarts"
    fi
}
setsid "$wineserver" -p </dev/null >/dev/null 2>&1
trap finish EXIT
# The first program creates or updates the prefix (about 15 s the first time) and starts
# Wine's services, all detached from the command. It also leaves Wine's windows unmanaged: no
# window manager runs under Xvfb, and Wine waits 2 s for one whenever a window is hidden.
if ! "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
    </dev/null >"$build/wineprefix-start.log" 2>&1; then
    echo "wine-run.sh: Wine could not start in $WINEPREFIX:" >&2
    cat "$build/wineprefix-start.log" >&2
    exit 1
fi
# The dialogs name Tahoma, and the caption buttons are drawn with Marlett; Debian ships Wine's
# own faces (fonts-wine) where this Wine does not look, so the prefix gets them installed.
fonts="$WINEPREFIX/drive_c/windows/Fonts"
mkdir -p "$fonts"
for face in /usr/share/wine/fonts/{tahoma,tahomabd,marlett}.ttf; do
    if [ -f "$face" ]; then
        ln -sf "$face" "$fonts/"
    fi
done
cd "$(dirname "$0")/.."
"$@"
