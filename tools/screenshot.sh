#!/usr/bin/env bash
# Renders both dialogs to PNG files, on Qt's offscreen platform and on a real X server
# (Xvfb), with the sample driver loaded:
#   bash tools/screenshot.sh [output folder]    (default: build/screenshots)
# docs/setup-dialog.png is the offscreen picture of the setup dialog.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build/screenshots}
cmake --preset default >/dev/null
cmake --build --preset default --target morvex_ui_screenshots morvex_sample_driver
shots=build/tests/ui/morvex_ui_screenshots
sample=build/examples/KESTRIN.SYS

mkdir -p "$out/offscreen" "$out/xvfb"
QT_QPA_PLATFORM=offscreen "$shots" "$out/offscreen" "$sample"
# The same pictures through the xcb platform on a virtual X server, plus the whole screen.
xvfb-run -a -s "-screen 0 800x600x24" bash -c '
    QT_QPA_PLATFORM=xcb "$1" "$2" "$3"
' _ "$shots" "$out/xvfb" "$sample"
ls -l "$out"/offscreen/*.png "$out"/xvfb/*.png
