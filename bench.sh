#!/usr/bin/env bash
# Builds and runs the benchmarks (Release, no sanitizers):
#  - the Google Benchmark suite of the effect's process routines;
#  - the speed run: the native module, the Windows DLL under Wine and the
#    x42-dpl peer on the same signals, in alternating rounds on this machine,
#    with the ratios the project holds itself to.
# Usage: ./bench.sh [ROUNDS] (default 5)
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup.sh
ensure_packages "${TK42_BENCH_PACKAGES[@]}"
rounds=${1:-5}
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench -j"$(nproc)" --target tk42_bench tk42_module_speed tk42r_native \
  tk42_editor_bench
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win -j"$(nproc)" --target TK42R_x64 tk42_module_speed

echo "== Google Benchmark: the effect's process routines"
build/bench/bench/tk42_bench --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
  --benchmark_enable_random_interleaving=true

echo "== Google Benchmark: the Linux module's editor, UI-thread CPU per idle with the meter moving"
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" build/bench/bench/tk42_editor_bench

echo "== speed run: $rounds alternating rounds of the native module (with x42-dpl) and the DLL"
log=$(mktemp)
trap 'rm -f "$log"; build/win/wine-server.sh stop' EXIT
build/win/wine-server.sh start
for ((r = 1; r <= rounds; r++)); do
  build/bench/bench/tk42_module_speed build/bench/bin/TK42R.so native >>"$log"
  (cd build/win/bin && ../wine-run.sh tk42_module_speed.exe TK42R_x64.dll dll) >>"$log"
done
grep '^#' "$log" | sort -u
# The median of each case's per-round medians, then the ratios.
grep '^ns ' "$log" | sort -k2,2 -k3,3g | awk '
  { v[$2, ++n[$2]] = $3 }
  END {
    for (k in n) m[k] = v[k, int((n[k] + 1) / 2)]
    printf "\n%-36s %10s\n", "case (median of rounds)", "ns/frame"
    for (k in n) printf "%-36s %10.2f\n", k, m[k] | "sort"
    close("sort")
    printf "\n%-52s %6s %6s\n", "ratio", "value", "limit"
    for (k in m) {
      if (k !~ /^dll\//) continue
      nat = k; sub(/^dll\//, "native/", nat)
      printf "%-52s %6.2f %6.2f\n", k " / " nat, m[k] / m[nat], 1.15 | "sort"
    }
    close("sort")
    split("music heavy", works, " ")
    for (i = 1; i <= 2; i++) {
      w = works[i]
      peer = m["x42-dpl/" w "/LIMIT/32"]
      if (peer > 0) {
        printf "%-52s %6.2f %6.2f\n", "native/" w "/LIMIT/32 / x42-dpl", m["native/" w "/LIMIT/32"] / peer, 0.8
        printf "%-52s %6.2f %6.2f\n", "native/" w "/LIMIT/64 / x42-dpl", m["native/" w "/LIMIT/64"] / peer, 0.8
      }
      printf "%-52s %6.2f %6.2f\n", "meter attached / detached, " w " LIMIT 32", m["meter-attached/" w "/LIMIT/32"] / m["meter-detached/" w "/LIMIT/32"], 1.2
    }
  }'
