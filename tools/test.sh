#!/usr/bin/env bash
# Builds and runs every test: the debug build, the whole suite again under ASan + UBSan, then a
# clang build that replays the fuzz corpus and fuzzes each target for a minute; last the Windows
# programs: the 32-bit build compiled and linked, the 64-bit build's tests run under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake --workflow --preset default
cmake --workflow --preset sanitize
cmake --workflow --preset fuzz
cmake --workflow --preset win32
cmake --workflow --preset win64
xvfb-run -a -s "-screen 0 1024x768x24" bash tools/wine-run.sh build-win64 ctest --preset win64
