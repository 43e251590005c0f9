#!/usr/bin/env bash
# Builds and runs the benchmarks (Release, no sanitizers) on the drum-kit music signal.
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup.sh
ensure_packages "${TK42_BENCH_PACKAGES[@]}"
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench -j"$(nproc)" --target tk42_bench
build/bench/bench/tk42_bench "$@"

# The Windows DLL, under Wine.
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win -j"$(nproc)" --target TK42R_x64 tk42_dll_speed
build/win/wine-server.sh start
(cd build/win/bin && ../wine-run.sh tk42_dll_speed.exe TK42R_x64.dll)
build/win/wine-server.sh stop
