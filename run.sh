#!/usr/bin/env bash
# The main job: installs what is missing, builds the plug-in and tk42host for
# Windows, and limits tk42host's built-in demo signal (drums, bass and a
# sustained chord, peaking near +6 dBFS) through the real TK42R_x64.dll under
# Wine. Writes build/demo/demo-input.wav, build/demo/demo-limited.wav, its
# summary as JSON, its plot as SVG and PNG, and a screenshot of the editor.
# Then builds the Linux module and tk42host natively (Release) and limits the
# same demo through build/linux/bin/TK42R.so: build/demo/demo-limited-linux.wav
# and .json.
#
# TK42_BUILD_DIR, TK42_LINUX_BUILD_DIR and TK42_DEMO_DIR choose other folders
# (default build/win, build/linux and build/demo).
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

linux=${TK42_LINUX_BUILD_DIR:-build/linux}
cmake -S . -B "$linux" -DCMAKE_BUILD_TYPE=Release -DTK42_BENCHMARKS=OFF >/dev/null
cmake --build "$linux" -j"$(nproc)" --target tk42r_native tk42host
echo "== the demo through the Linux module, $linux/bin/TK42R.so"
"$linux/bin/tk42host" render "$linux/bin/TK42R.so" --demo "$demo/demo-limited-linux.wav" \
  --ceiling-db -1 --report "$demo/demo-limited-linux.json"
echo "written to $demo/"
