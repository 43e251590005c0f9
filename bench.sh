#!/usr/bin/env bash
# Builds and runs the benchmarks (Release, no sanitizers):
#  - the Google Benchmark suite of the effect's process routines;
#  - the speed run: the native module, its LV2 bundle, the Windows DLL under
#    Wine and the x42-dpl peer on the same signals, in alternating rounds on
#    this machine, each module beside the CLAP module and the VST3 binary of
#    its build, with the ratios the project holds itself to;
#  - tk42host's delivery jobs: a loudness and true-peak target render against
#    ffmpeg's two-pass loudnorm, and a batch on two jobs against one
#    (bench/delivery_speed.sh).
# Usage: ./bench.sh [ROUNDS] (default 9)
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup.sh
ensure_packages "${TK42_BENCH_PACKAGES[@]}"
rounds=${1:-9}
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench -j"$(nproc)" --target tk42_bench tk42_module_speed tk42r_native \
  tk42r_clap tk42r_vst3 tk42_editor_bench tk42host
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win -j"$(nproc)" --target TK42R_x64 tk42r_clap tk42r_vst3 tk42_module_speed \
  tk42_editor_bench_win32

echo "== Google Benchmark: the effect's process routines"
build/bench/bench/tk42_bench --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
  --benchmark_enable_random_interleaving=true

echo "== Google Benchmark: the Linux module's editor, UI-thread CPU per idle with the meter moving"
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" build/bench/bench/tk42_editor_bench

echo "== the DLL's editor under Wine, UI-thread CPU per idle with the meter moving"
# Its own Wine server, started inside the X session: one started without a
# display cannot make windows afterwards.
xvfb-run -a -s "-screen 0 1280x1024x24" sh -c 'build/win/wine-server.sh start &&
  cd build/win/bin && ../wine-run.sh tk42_editor_bench_win32.exe TK42R_x64.dll'
build/win/wine-server.sh stop

echo "== speed run: $rounds alternating rounds of the native module (with its LV2, CLAP, VST3 and"
echo "   x42-dpl) and the DLL (with its CLAP and VST3)"
log=$(mktemp)
trap 'rm -f "$log"; build/win/wine-server.sh stop' EXIT
build/win/wine-server.sh start
for ((r = 1; r <= rounds; r++)); do
  build/bench/bench/tk42_module_speed build/bench/bin/TK42R.so native 1 build/bench/bin/TK42R.clap \
    clap --vst3 build/bench/bin/TK42R.vst3/Contents/x86_64-linux/TK42R.so | sed "s/^ns /ns $r /" >>"$log"
  (cd build/win/bin && ../wine-run.sh tk42_module_speed.exe TK42R_x64.dll dll 1 TK42R.clap clap-dll \
    --vst3 TK42R.vst3/Contents/x86_64-win/TK42R.vst3) |
    sed "s/^ns /ns $r /" >>"$log"
done
grep '^#' "$log" | sort -u
# Each ratio is taken within a round (the DLL's against the native run just
# before it; the peer and the meter within one process), then the median of
# the rounds is reported.
grep '^ns ' "$log" | awk '
  function median(list,    n, a, i, j, t) {
    n = split(list, a, " ")
    for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j - 1] + 0 > a[j] + 0; j--) {
      t = a[j]; a[j] = a[j - 1]; a[j - 1] = t
    }
    return a[int((n + 1) / 2)]
  }
  function ratio(name, num, den, limit,    r, list) {
    list = ""
    for (r = 1; r <= rounds; r++) {
      if ((num, r) in v && (den, r) in v) list = list " " v[num, r] / v[den, r]
    }
    if (list != "") printf "%-48s %6.2f %6.2f\n", name, median(list), limit
  }
  { v[$3, $2] = $4; keys[$3] = 1; if ($2 > rounds) rounds = $2 }
  END {
    printf "\n%-36s %10s\n", "case (median of rounds)", "ns/frame"
    for (k in keys) {
      list = ""
      for (r = 1; r <= rounds; r++) if ((k, r) in v) list = list " " v[k, r]
      printf "%-36s %10.2f\n", k, median(list) | "sort"
    }
    close("sort")
    printf "\n%-48s %6s %6s\n", "ratio (median of the rounds)", "value", "limit"
    split("music heavy", works, " ")
    for (i = 1; i <= 2; i++) {
      w = works[i]
      for (m = 1; m <= 2; m++) {
        mode = m == 1 ? "LIMIT" : "CLIP"
        for (p = 32; p <= 64; p += 32) {
          c = w "/" mode "/" p
          ratio("DLL / native, " c, "dll/" c, "native/" c, 1.15)
          ratio("CLAP / VST 2.4, native, " c, "clap/" c, "native/" c, 1.05)
          ratio("CLAP / VST 2.4, Wine, " c, "clap-dll/" c, "dll/" c, 1.05)
          ratio("VST3 / VST 2.4, native, " c, "native-vst3/" c, "native/" c, 1.05)
          ratio("VST3 / VST 2.4, DLL, " c, "dll-vst3/" c, "dll/" c, 1.05)
        }
      }
      for (m = 1; m <= 2; m++) {
        c = w "/" (m == 1 ? "LIMIT" : "CLIP") "/32"
        ratio("LV2 / native, " c, "lv2/" c, "native/" c, 1.05)
      }
      ratio("native / x42-dpl, " w "/LIMIT/32", "native/" w "/LIMIT/32", "x42-dpl/" w "/LIMIT/32", 0.8)
      ratio("native / x42-dpl, " w "/LIMIT/64", "native/" w "/LIMIT/64", "x42-dpl/" w "/LIMIT/32", 0.8)
      ratio("meter attached / detached, " w "/LIMIT/32", "meter-attached/" w "/LIMIT/32",
            "meter-detached/" w "/LIMIT/32", 1.2)
    }
  }'

echo "== tk42host delivery: a target render against ffmpeg's two-pass loudnorm, --jobs 2 against 1"
bench/delivery_speed.sh build/bench "$(( rounds < 5 ? rounds : 5 ))"
