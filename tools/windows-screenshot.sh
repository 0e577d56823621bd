#!/usr/bin/env bash
# A picture of the Win32 setup dialog (the 64-bit build under Wine, on Xvfb) with the sample
# driver loaded, taken of the whole screen with ImageMagick's import:
#   bash tools/windows-screenshot.sh [picture]    (default: docs/win32-setup-dialog.png)
set -euo pipefail
cd "$(dirname "$0")/.."
picture=$(realpath -m "${1:-docs/win32-setup-dialog.png}")
for tool in xvfb-run import; do
    command -v "$tool" >/dev/null || { echo "windows-screenshot.sh: $tool is missing" >&2; exit 1; }
done
# The sample driver comes from the native build; the dialog from the Windows one.
cmake --preset default >/dev/null
cmake --build --preset default --target morvex_sample_driver
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target morvex_win32_screenshot

prefix=build-win64/wineprefix
stage="$prefix/drive_c/KESTRIN"
mkdir -p "$stage" "$(dirname "$picture")"
rm -f "$stage/ready" "$stage/done"
cp build/examples/KESTRIN.SYS "$stage/KESTRIN.SYS"

xvfb-run -a -s "-screen 0 640x400x24" bash tools/wine-run.sh build-win64 bash -c '
    stage=$1 picture=$2
    /usr/lib/wine/wine64 build-win64/tests/ui/morvex_win32_screenshot.exe \
        "C:\KESTRIN\KESTRIN.SYS" "C:\KESTRIN\ready" "C:\KESTRIN\done" &
    shown=$!
    for _ in $(seq 1 300); do
        [ -f "$stage/ready" ] && break
        sleep 0.1
    done
    [ -f "$stage/ready" ] || { echo "the dialog did not come up" >&2; kill "$shown"; exit 1; }
    sleep 0.5
    import -window root "$picture"
    touch "$stage/done"
    wait "$shown"
' _ "$stage" "$picture"
echo "$picture"
