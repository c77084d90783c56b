#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (32-bit and 64-bit Wine prefixes, private X display).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAVRO_BUILD:-$root/build}
"$root/tools/install-deps.sh"
"$root/tools/build.sh" "$build"
export TAVRO_BUILD=$build
cd "$build"
"$root/tools/with-display.sh" ctest --output-on-failure "$@"
