#!/usr/bin/env bash
# The Wine part of ./run.sh: renders tk42host's demo through the DLL of the
# Windows build in $1 and writes the results to $2. Run it where there is a
# display (run.sh provides a virtual one): the Wine prefix's server must start
# with the display that the editor's window will use.
set -euo pipefail
build=$1
demo=$2
"$build/wine-server.sh" start
trap '"$build/wine-server.sh" stop' EXIT
host() { "$build/wine-run.sh" "$build/bin/tk42host.exe" "$@"; }
dll="$build/bin/TK42R_x64.dll"

host demo "$demo/demo-input.wav"
host render "$dll" --demo "$demo/demo-limited.wav" --ceiling-db -1 \
  --report "$demo/demo-limited.json" --plot "$demo/demo-limited.svg"
rsvg-convert "$demo/demo-limited.svg" -o "$demo/demo-limited.png"
if host info "$dll" | grep -q '^flags .*editor'; then
  host editor "$dll" --screenshot "$demo/editor.png"
fi
