#!/usr/bin/env bash
# Runs one test program under Wine: wine-test.sh win32|win64 PROGRAM [ARGS...]
# The prefix lives under the build folder; the display comes from the caller (tools/test.sh).
set -euo pipefail
arch=$1; shift
build=${TAVRO_BUILD:?TAVRO_BUILD names the build folder}
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=$build/prefixes/$arch WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
"$here/tools/make-prefix.sh" "$WINEPREFIX" "$arch"
# As on Windows, a TWAIN library loaded by its full path is that file (the tests' stand-in manager and data
# sources), not Wine's built-in one; Wine's own files still load as Wine's.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;twain_32,gphoto2.ds,sane.ds=n,b"
# The program under test, for the tests that start it.
export TAVRO_EXE=${TAVRO_EXE:-$build/Project1.exe}
exec wine "$@"
