#!/usr/bin/env bash
# jalv, a JACK host, loads the bundle on a dummy JACK server of its own.
#   jalv_loads.sh BUNDLE_PARENT_DIR console
#     The console jalv takes control values typed on its standard input and
#     reports the output ports: the latency follows the mode (5 samples in
#     LIMIT, none in CLIP); the plug-in's JACK ports exist.
#   jalv_loads.sh BUNDLE_PARENT_DIR gtk
#     jalv.gtk3 (under Xvfb) embeds the X11 UI through suil: its window
#     holds a 400 x 220 window made by another X client, the UI's own, and
#     the panel is painted there (the host drives the UI's idle interface):
#     the screen shows thousands of colours where it is.
set -euo pipefail
export LV2_PATH=$1
server=tk42-jalv-$$
log=$(mktemp -d)
jackd -r -n "$server" -d dummy -r 48000 >"$log/jackd" 2>&1 &
jack=$!
trap 'kill $jack 2>/dev/null; wait $jack 2>/dev/null; rm -rf "$log"' EXIT
export JACK_DEFAULT_SERVER=$server
for _ in $(seq 50); do jack_lsp >/dev/null 2>&1 && break; sleep 0.1; done
fail() { echo "FAILED: $*"; exit 1; }

if [ "$2" = gtk ]; then
  export TK42_LOG=$log
  timeout 60 xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
    jalv.gtk3 urn:faldenmurex:tk42r >"$TK42_LOG/jalv" 2>&1 &
    jalv=$!
    for i in $(seq 40); do
      sleep 0.25
      xwininfo -root -tree >"$TK42_LOG/tree" 2>/dev/null
      grep -q "400x220" "$TK42_LOG/tree" && sleep 1 && break
    done
    xwininfo -root -tree >"$TK42_LOG/tree"
    for id in $(awk "/400x220/ {print \$1}" "$TK42_LOG/tree"); do
      xwininfo -id $id >"$TK42_LOG/info"
      x=$(awk "/Absolute upper-left X/ {print \$4}" "$TK42_LOG/info")
      y=$(awk "/Absolute upper-left Y/ {print \$4}" "$TK42_LOG/info")
      ffmpeg -nostdin -v error -f x11grab -video_size 400x220 -i "$DISPLAY+$x,$y" \
        -frames:v 1 -f rawvideo -pix_fmt rgb24 -y "$TK42_LOG/$id.rgb"
    done
    kill $jalv' || true
  cat "$log/jalv" "$log/tree"
  grep -q "^UI: *urn:faldenmurex:tk42r#ui" "$log/jalv" || fail "jalv.gtk3 did not choose the UI"
  # The host's top-level window, then the windows inside it; X ids carry
  # their client's base in the bits above 21.
  top=$(grep '"TK42-R Limiter"' "$log/tree" | head -1 | awk '{print $1}')
  [ -n "$top" ] || fail "no window of the plug-in's name"
  ours=""
  for id in $(awk '/400x220/ {print $1}' "$log/tree"); do
    [ $((id >> 21)) -ne $((top >> 21)) ] && ours=$id
  done
  [ -n "$ours" ] || fail "no 400 x 220 window of the UI's own inside the host's"
  colours=$(od -An -v -tx1 -w3 "$log/$ours.rgb" | sort -u | wc -l)
  [ "$colours" -gt 1000 ] || fail "the UI's window shows $colours colours: not painted"
  echo "jalv.gtk3 embedded the UI's window $ours, painted in $colours colours"
  exit 0
fi

# Each command waits for a few of jalv's 30 Hz updates.
{
  sleep 1; echo "gain = 6"; sleep 0.5; echo "monitors"; sleep 0.5
  echo "mode = 1"; sleep 0.5; echo "monitors"; sleep 0.5
  jack_lsp >"$log/ports"
} | timeout 30 jalv -p urn:faldenmurex:tk42r >"$log/jalv" 2>&1 || true
cat "$log/jalv"
grep -q "^Plugin: *urn:faldenmurex:tk42r" "$log/jalv" || fail "jalv did not load the plug-in"
grep -q "gain = 6.000000" "$log/jalv" || fail "the gain was not set"
grep -q "latency = 5.000000" "$log/jalv" || fail "no look-ahead reported in LIMIT mode"
grep -q "latency = 0.000000" "$log/jalv" || fail "a look-ahead reported in CLIP mode"
for p in in_l in_r out_l out_r; do
  grep -q "TK42-R Limiter:$p" "$log/ports" || fail "no JACK port $p"
done
echo "jalv loaded it, set it and reported its latency"
