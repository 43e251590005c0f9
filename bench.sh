#!/usr/bin/env bash
# Builds and runs the benchmarks (Release, no sanitizers) on the drum-kit music signal.
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup.sh
ensure_packages "${TK42_BENCH_PACKAGES[@]}"
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench -j"$(nproc)" --target tk42_bench
build/bench/bench/tk42_bench "$@"
