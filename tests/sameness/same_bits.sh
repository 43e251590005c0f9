#!/bin/sh
# Renders the same signals through the native module and through the DLL
# under Wine, each as VST 2.4 and as VST3, and compares the renders bit for
# bit with the native VST 2.4 module's.
# Usage: same_bits.sh NATIVE_BUILD_DIR WINDOWS_BUILD_DIR
#        same_bits.sh NATIVE_BUILD_DIR   (the native module's two formats only)
set -e
native=$1
win=$2
check=$native/tests/sameness/tk42_render_check
vst3=TK42R.vst3/Contents
if [ ! -x "$check" ] || [ ! -f "$native/bin/TK42R.so" ]; then
  echo "no native render in $native: build the native configuration first (./test.sh does)" >&2
  exit 1
fi
out=${win:-$native}/bin
cd "$out"
rm -f render_native.bin render_native_vst3.bin render_dll.bin render_dll_vst3.bin
"$check" "$native/bin/TK42R.so" render_native.bin
"$check" --vst3 "$native/bin/$vst3/x86_64-linux/TK42R.so" render_native_vst3.bin
"$check" --compare render_native.bin render_native_vst3.bin
[ -n "$win" ] || exit 0
"$win/wine-run.sh" tk42_render_check.exe TK42R_x64.dll render_dll.bin
"$win/wine-run.sh" tk42_render_check.exe --vst3 "$vst3/x86_64-win/TK42R.vst3" render_dll_vst3.bin
"$check" --compare render_native.bin render_dll.bin
"$check" --compare render_native.bin render_dll_vst3.bin
