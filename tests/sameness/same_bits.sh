#!/bin/sh
# Renders the same signals through the native module and through the DLL
# under Wine, and compares the two renders bit for bit.
# Usage: same_bits.sh NATIVE_BUILD_DIR WINDOWS_BUILD_DIR
set -e
native=$1
win=$2
check=$native/tests/sameness/tk42_render_check
if [ ! -x "$check" ] || [ ! -f "$native/bin/TK42R.so" ]; then
  echo "no native render in $native: build the native configuration first (./test.sh does)" >&2
  exit 1
fi
cd "$win/bin"
rm -f render_dll.bin render_native.bin
"$win/wine-run.sh" tk42_render_check.exe TK42R_x64.dll render_dll.bin
"$check" "$native/bin/TK42R.so" render_native.bin
"$check" --compare render_native.bin render_dll.bin
