#!/usr/bin/env bash
# Builds and runs every test: the debug build, then the whole suite again under ASan + UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake --workflow --preset default
cmake --workflow --preset sanitize
