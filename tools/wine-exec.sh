#!/usr/bin/env bash
# Runs one Windows program under wine64 with a build's prefix: the 64-bit build's CMake emulator,
# so CTest and GoogleTest's test discovery start every test program through it.
#   tools/wine-exec.sh <wine prefix> <program.exe> [arguments...]
# MORVEX_WINE names another loader than /usr/lib/wine/wine64 (to try this script's restarts).
#
# Once in a long while Wine ends a start with an error status before the program has run: in
# one CI run of many, a test "failed" in 0.01 s and printed nothing. A test program cannot fail
# silently: GoogleTest prints and flushes its filter note and each test's start line before any
# test code runs. So a run that ends in an error with nothing at all printed is Wine's start, not
# the program: it is started again, up to twice, and each such start is written to
# <prefix>/../wine-restarts.log, which tools/wine-run.sh shows when it ends. A program that
# really fails still fails every time.
set -uo pipefail
prefix=${1:?usage: wine-exec.sh <wine prefix> <program.exe> [arguments...]}
shift
export WINEPREFIX="$prefix" WINEDEBUG=-all
log="$(dirname "$prefix")/wine-restarts.log"
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
for attempt in 1 2 3; do
    "${MORVEX_WINE:-/usr/lib/wine/wine64}" "$@" >"$out" 2>"$err"
    status=$?
    if [ "$status" -eq 0 ] || [ -s "$out" ] || [ -s "$err" ]; then
        break
    fi
    echo "$(date -u +%FT%TZ) start $attempt ended with status $status before the program" \
        "printed anything: $*" >>"$log"
done
cat "$out"
cat "$err" >&2
exit "$status"
