#!/usr/bin/env bash
# jalv, a JACK host, loads the bundle on a dummy JACK server of its own,
# takes control values typed on its console and reports the output ports:
# the latency follows the mode (5 samples in LIMIT, none in CLIP).
#   jalv_loads.sh BUNDLE_PARENT_DIR
set -euo pipefail
export LV2_PATH=$1
server=tk42-jalv-$$
log=$(mktemp -d)
jackd -r -n "$server" -d dummy -r 48000 >"$log/jackd" 2>&1 &
jack=$!
trap 'kill $jack 2>/dev/null; wait $jack 2>/dev/null; rm -rf "$log"' EXIT
export JACK_DEFAULT_SERVER=$server
for _ in $(seq 50); do jack_lsp >/dev/null 2>&1 && break; sleep 0.1; done

# Each command waits for a few of jalv's 30 Hz updates.
{
  sleep 1; echo "gain = 6"; sleep 0.5; echo "monitors"; sleep 0.5
  echo "mode = 1"; sleep 0.5; echo "monitors"; sleep 0.5
  jack_lsp >"$log/ports"
} | timeout 30 jalv -p urn:faldenmurex:tk42r >"$log/jalv" 2>&1 || true
cat "$log/jalv"
fail() { echo "FAILED: $*"; exit 1; }
grep -q "^Plugin: *urn:faldenmurex:tk42r" "$log/jalv" || fail "jalv did not load the plug-in"
grep -q "gain = 6.000000" "$log/jalv" || fail "the gain was not set"
grep -q "latency = 5.000000" "$log/jalv" || fail "no look-ahead reported in LIMIT mode"
grep -q "latency = 0.000000" "$log/jalv" || fail "a look-ahead reported in CLIP mode"
for p in in_l in_r out_l out_r; do
  grep -q "TK42-R Limiter:$p" "$log/ports" || fail "no JACK port $p"
done
echo "jalv loaded it, set it and reported its latency"
