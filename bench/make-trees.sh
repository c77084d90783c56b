#!/usr/bin/env bash
# Makes the two "c:\windows"-like trees the bench walks: make-trees.sh DIR
#   DIR/small: about 54,000 entries (folders and files), a few hundred of them matching *Twain*.*, and
#              data source files under twain_32;
#   DIR/large: the same tree with 20,000 more files that match *Twain*.*.
# Does nothing when both are there.
set -euo pipefail
dir=$1
stamp=$dir/.trees-1
[ -f "$stamp" ] && exit 0
rm -rf "$dir"
mkdir -p "$dir"

# files FOLDER COUNT STEM EXT: COUNT files; every 150th (from the third) has "Twain" in its name.
n=0
files() {
  local folder=$1 count=$2 stem=$3 ext=$4 names=() i
  mkdir -p "$folder"
  for ((i = 0; i < count; i++)); do
    n=$((n + 1))
    if ((n % 150 == 3)); then names+=("${stem}Twain$i.$ext"); else names+=("$stem$i.$ext"); fi
  done
  (cd "$folder" && touch -- "${names[@]}")
}

small=$dir/small
files "$small" 60 setup log
for v in acme bright clear; do
  files "$small/twain_32/$v" 8 "$v" dll
  touch "$small/twain_32/$v/$v.ds" "$small/twain_32/$v/${v}_lite.ds"
done
touch "$small/twain_32/root.ds" "$small/twain_32.dll" "$small/twunk_32.exe"
files "$small/system32" 3000 kernel dll
for ((d = 0; d < 40; d++)); do files "$small/system32/drivers$d" 50 drv sys; done
for ((d = 0; d < 1800; d++)); do files "$small/winsxs/x86_component_$d" 20 manifest cat; done
for ((a = 0; a < 20; a++)); do
  for ((b = 0; b < 20; b++)); do files "$small/assembly/GAC_$a/lib_$b" 12 assembly dll; done
done
for f in Fonts inf Help Media Cursors Logs Prefetch Resources Speech Temp Web Tasks; do
  files "$small/$f" 500 "$f" dat
done

cp -a "$small" "$dir/large"
for ((d = 0; d < 1000; d++)); do
  (cd "$dir/large/winsxs/x86_component_$d" && touch -- $(printf "TwainTrace_%02d.log " $(seq 0 19)))
done
touch "$stamp"
