#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine.
# Quick when all is there: it only calls apt when a package is missing.
set -euo pipefail

pkgs=(cmake make g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
      wine wine32:i386 wine64 xvfb xauth x11-utils imagemagick googletest attr fonts-wine)

missing=()
have_i386=0
dpkg --print-foreign-architectures | grep -qx i386 && have_i386=1
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && [ $have_i386 -eq 1 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
if [ $have_i386 -eq 0 ]; then
  $SUDO dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
