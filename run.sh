#!/usr/bin/env bash
# The main job: installs what is missing, builds the plug-in and tk42host for
# Windows, and limits tk42host's built-in demo signal (drums, bass and a
# sustained chord, peaking near +6 dBFS) through the real TK42R_x64.dll under
# Wine. Writes build/demo/demo-input.wav, build/demo/demo-limited.wav, its
# summary as JSON, its plot as SVG and PNG, and a screenshot of the editor.
#
# TK42_BUILD_DIR and TK42_DEMO_DIR choose other folders (default build/win and
# build/demo).
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup.sh
ensure_packages

build=${TK42_BUILD_DIR:-build/win}
demo=${TK42_DEMO_DIR:-build/demo}
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
  >/dev/null
cmake --build "$build" -j"$(nproc)" --target TK42R_x64 tk42host
mkdir -p "$demo"

# Wine needs a display for the editor's window: a virtual one when there is none.
if [ -n "${DISPLAY:-}" ]; then
  tools/demo-under-wine.sh "$build" "$demo"
else
  xvfb-run -a -s "-screen 0 1280x1024x24" tools/demo-under-wine.sh "$build" "$demo"
fi
echo "written to $demo/"
