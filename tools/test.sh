#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (32-bit and 64-bit Wine prefixes, private X display).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAVRO_BUILD:-$root/build}
"$root/tools/install-deps.sh"
"$root/tools/build.sh" "$build"
export TAVRO_BUILD=$build
cd "$build"
status=0
"$root/tools/with-display.sh" ctest --output-on-failure "$@" || status=$?
# The window tests save BMP screenshots; keep PNG copies beside them for viewing.
for shot in "$build"/screenshots/*.bmp; do
  [ -e "$shot" ] && /usr/bin/convert "$shot" "${shot%.bmp}.png" 2>/dev/null || true
done
exit $status
