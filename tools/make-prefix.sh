#!/usr/bin/env bash
# Creates a Wine prefix for the tests: make-prefix.sh DIR win32|win64. Does nothing when DIR is ready.
set -euo pipefail
dir=$1 arch=$2
[ -f "$dir/.tavro-ready" ] && exit 0
export WINEPREFIX=$dir WINEARCH=$arch WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$dir"
mkdir -p "$(dirname "$dir")"
wineboot -i >/dev/null 2>&1
# Debian's Wine looks for its own fonts (MS Sans Serif, Tahoma, Marlett for the caption buttons) in the
# wrong folder; the prefix's Fonts folder is where it finds them.
if [ -d /usr/share/wine/fonts ]; then cp -n /usr/share/wine/fonts/* "$dir/drive_c/windows/Fonts/"; fi
# An unhandled fault must end the process, not wait at a crash dialog.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
# Every window inside one desktop that Wine draws itself, frames and captions included.
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1280x1024 /f >/dev/null 2>&1
wineserver -w
touch "$dir/.tavro-ready"
