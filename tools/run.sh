#!/usr/bin/env bash
# Installs the packages, builds the debug preset and starts the setup dialog.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake --preset default
cmake --build --preset default
exec build/src/app/morvex "$@"
