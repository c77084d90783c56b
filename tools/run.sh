#!/usr/bin/env bash
# Installs what is missing, builds, and starts the tool under Wine.
#   tools/run.sh [MAKE [MODEL]]
# With a display the window opens. Without one, a private Xvfb hosts one report run with the given make and
# model; the report is printed as it arrived on the clipboard and a screenshot of the finished window saved.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAVRO_BUILD:-$root/build}
"$root/tools/install-deps.sh"
"$root/tools/build.sh" "$build" >/dev/null
export WINEPREFIX=${WINEPREFIX:-$build/prefixes/run} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
"$root/tools/make-prefix.sh" "$WINEPREFIX" win32

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec wine "$build/Project1.exe"
fi

shot=$build/screenshots/run-finished
mkdir -p "$build/screenshots"
"$root/tools/with-display.sh" wine "$build/tavro_drive.exe" "$build/Project1.exe" "$shot.bmp" "${1:-Example Make}" "${2:-Example Model}" | tr -d '\r'
wineserver -w
/usr/bin/convert "$shot.bmp" "$shot.png" && rm -f "$shot.bmp"
echo
echo "Screenshot of the finished window: $shot.png"
