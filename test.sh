#!/usr/bin/env bash
# Installs what is missing, builds both builds and runs every test:
#   build/native  native build under AddressSanitizer and UBSan (fast suite)
#   build/win     the Windows module and its integration tests, run under Wine
#   build/tsan    the native suite again under ThreadSanitizer
#   build/bench   the benchmarks (built here, run by ./bench.sh) and the soak
#   build/linux   the Linux module as shipped (Release, bin/TK42R.so), its
#                 checks and the Ardour 7 tests
#   build/fuzz    the libFuzzer harnesses (clang, ASan, UBSan; tools/fuzz.sh)
set -euo pipefail
cd "$(dirname "$0")"
# Paths relative to the checkout in ccache's keys: a clone in another folder
# (CI's) reuses the compilations an earlier run made here.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
source tools/setup.sh
ensure_packages

jobs=$(nproc)
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug -DTK42_SANITIZE=address,undefined \
  -DTK42_BENCHMARKS=OFF >/dev/null
cmake --build build/native -j"$jobs"
cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTK42_SANITIZE=thread \
  -DTK42_BENCHMARKS=OFF >/dev/null
cmake --build build/tsan -j"$jobs"
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
  >/dev/null
cmake --build build/win -j"$jobs"
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench -j"$jobs" --target tk42_bench tk42_soak
tools/fuzz.sh --build-only
cmake -S . -B build/linux -DCMAKE_BUILD_TYPE=Release -DTK42_BENCHMARKS=OFF >/dev/null
cmake --build build/linux -j"$jobs" --target tk42_linux_product

status=0
echo "== native tests (ASan, UBSan)"
ctest --test-dir build/native --output-on-failure -j"$jobs" || status=1

echo "== native tests (ThreadSanitizer)"
ctest --test-dir build/tsan --output-on-failure -j"$jobs" || status=1

echo "== fuzzing (libFuzzer with ASan and UBSan, 30 s per harness from its corpus)"
ctest --test-dir build/fuzz -L fuzz --output-on-failure -j"$jobs" || status=1

echo "== soak (a minute of a busy session, native Release build)"
build/bench/bin/tk42_soak --seconds 60 || status=1

echo "== the Linux module (Release build/linux/bin/TK42R.so) and Ardour 7"
rm -f build/linux/ardour-runs.log
ctest --test-dir build/linux -L 'linux-module|ardour' --output-on-failure || status=1
# Ardour 7.3 crashes now and then by itself; the tests retry such runs and
# say how often it happened.
[ ! -f build/linux/ardour-runs.log ] || cat build/linux/ardour-runs.log

echo "== Windows tests (Wine)"
# The wineserver starts before ctest with its stdio on /dev/null; a server
# that inherited ctest's pipes would hold it open. It starts inside the X
# session: a prefix whose server began without a display cannot create
# windows afterwards.
xvfb-run -a -s "-screen 0 1280x1024x24" sh -c \
  'build/win/wine-server.sh start && ctest --test-dir build/win --output-on-failure' || status=1
build/win/wine-server.sh stop

exit $status
