#!/usr/bin/env bash
# Builds and runs every test: the debug build, the whole suite again under ASan + UBSan, then a
# clang build that replays the fuzz corpus and fuzzes each target for a minute.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake --workflow --preset default
cmake --workflow --preset sanitize
cmake --workflow --preset fuzz
