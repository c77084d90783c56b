#!/usr/bin/env bash
# Builds the bench, prepares its prefix and trees, runs every measurement side by side and prints the table.
#   bench/run.sh [ROUNDS]      (default 5)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAVRO_BUILD:-$root/build}
rounds=${1:-5}
"$root/tools/build.sh" "$build" >/dev/null
export WINEPREFIX=$build/prefixes/bench WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
"$root/tools/make-prefix.sh" "$WINEPREFIX" win32
"$root/bench/make-trees.sh" "$WINEPREFIX/drive_c/bench"
# Wine's own processes end before the private display does.
"$root/tools/with-display.sh" bash -c 'wine "$@"; wineserver -w' bench "$build/tavro_bench.exe" "$rounds" \
  'c:\bench\small' 'c:\bench\large' "$build/Project1.exe" ${BENCH_ONLY:-} | tr -d '\r'
