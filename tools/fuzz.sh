#!/usr/bin/env bash
# Builds the libFuzzer harnesses (clang, AddressSanitizer and UBSan, in
# build/fuzz) and runs them for as long as asked:
#   tools/fuzz.sh [--build-only] [SECONDS] [HARNESS...]
# SECONDS per harness (default 600); all harnesses unless some are named.
# New inputs collect in build/fuzz/tests/fuzz/corpus/HARNESS; a crash leaves
# its input as build/fuzz/tests/fuzz/HARNESS-crash-*, to be fixed and then
# added to tests/fuzz/corpus/HARNESS as a regression input.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/setup.sh
ensure_packages

HARNESSES=(vst_interface_fuzz vst3_interface_fuzz wav_reader_fuzz editor_text_fuzz host_options_fuzz
  lv2_interface_fuzz clap_interface_fuzz)
build_only=0
if [ "${1:-}" = "--build-only" ]; then
  build_only=1
  shift
fi
seconds=${1:-600}
shift || true
[ $# -gt 0 ] && HARNESSES=("$@")

CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTK42_SANITIZE=address,undefined -DTK42_FUZZ=ON -DTK42_BENCHMARKS=OFF >/dev/null
cmake --build build/fuzz -j"$(nproc)" --target "${HARNESSES[@]}"
[ $build_only -eq 1 ] && exit 0

status=0
dir=build/fuzz/tests/fuzz
for h in "${HARNESSES[@]}"; do
  mkdir -p "$dir/corpus/$h"
  log="$dir/$h.log"
  echo "== $h for $seconds s"
  if ! "$dir/$h" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$dir/$h-" "$dir/corpus/$h" "tests/fuzz/corpus/$h" >"$log" 2>&1; then
    status=1
    echo "   FAILED: see $log"
  fi
  grep -E "stat::number_of_executed_units|stat::peak_rss_mb|cov: .*ft:" "$log" | tail -3 | sed 's/^/   /'  || true
done
exit $status
