#!/bin/sh
# tk42host.exe under Wine, stopped mid-render: Ctrl-C (Wine turns a SIGINT
# into the console's Ctrl-C event) and a file size limit (Wine's write then
# fails as a Windows write does). Either way the program must exit with its
# own status, remove its temporary output and keep the existing output.
#   wine_interruption_test.sh WINE-RUN TK42HOST.EXE MODULE.DLL
set -u
run=$1 host=$2 module=$3
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir" || exit 1
status=0

fail() {
  echo "FAIL: $*"
  status=1
}

# Exactly out.wav and err.txt are left, out.wav as it was.
expect_clean() {
  left=$(ls | tr '\n' ' ')
  [ "$left" = "err.txt out.wav " ] || fail "$1: files left: $left"
  [ "$(cat out.wav)" = old ] || fail "$1: the existing output was touched"
}

echo old >out.wav
"$run" "$host" render "$module" --demo out.wav --demo-seconds 3600 --quiet 2>err.txt &
pid=$!
# Until the render has written part of its temporary file.
under_way() {
  for f in out.wav.partial-*; do
    [ -f "$f" ] && [ "$(wc -c <"$f")" -gt 100000 ] && return 0
  done
  return 1
}
tries=0
until under_way; do
  tries=$((tries + 1))
  [ $tries -lt 600 ] || break
  sleep 0.1
done
kill -INT $pid
wait $pid
code=$?
[ $code -eq 130 ] || fail "Ctrl-C: exit status $code, not 130"
grep -q "tk42host: interrupted by Ctrl-C; out.wav was not written" err.txt ||
  fail "Ctrl-C: message: $(cat err.txt)"
expect_clean Ctrl-C

# A 256 KiB file size limit, SIGXFSZ ignored as a Windows program never sees
# it: the write fails mid-render.
(
  trap '' XFSZ
  ulimit -f 256
  exec "$run" "$host" render "$module" --demo out.wav --demo-seconds 20 --quiet 2>err.txt
)
code=$?
[ $code -eq 5 ] || fail "file size limit: exit status $code, not 5"
grep -q "tk42host: cannot write out.wav: .*out.wav was not written" err.txt ||
  fail "file size limit: message: $(cat err.txt)"
expect_clean "file size limit"

[ $status -eq 0 ] && echo "interrupted and failed renders left nothing behind"
exit $status
