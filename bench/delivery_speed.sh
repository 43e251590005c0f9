#!/usr/bin/env bash
# tk42host's delivery jobs against their yardsticks, in interleaved rounds on
# this machine (medians of the per-round ratios):
#  - a five-minute stereo master (-11.2 LUFS, true peaks over 0 dBTP, made
#    from lmms-common's loops) brought to -14 LUFS and -1 dBTP by
#    tk42host render --target-lufs -14 --true-peak-max -1, against ffmpeg's
#    two-pass loudnorm (a first pass with print_format=json, a second with
#    the measured values and linear=true) on the same file;
#  - four files of that master rendered with --preset streaming --jobs 2
#    against --jobs 1.
# Usage: bench/delivery_speed.sh BUILD_DIR [ROUNDS] (BUILD_DIR holds
# bin/tk42host and bin/TK42R.so, a Release build)
set -euo pipefail
build=$(realpath "$1")
rounds=${2:-5}
host=$build/bin/tk42host
module=$build/bin/TK42R.so
work=$build/delivery-bench
mkdir -p "$work"
cd "$work"

loops=/usr/share/lmms/samples
if [ ! -f master.wav ]; then
  ffmpeg -nostdin -v error -y -stream_loop -1 -i $loops/beats/break01.ogg \
    -stream_loop -1 -i $loops/instruments/e_piano_accord02.ogg \
    -stream_loop -1 -i $loops/beats/house_loop01.ogg -filter_complex \
    "[0:a]aresample=48000,aformat=channel_layouts=stereo[a];
     [1:a]aresample=48000,aformat=channel_layouts=stereo,volume=0.5[b];
     [2:a]aresample=48000,aformat=channel_layouts=stereo,volume=0.6[c];
     [a][b][c]amix=inputs=3:normalize=0,volume=5dB,alimiter=limit=0.89:level=false" \
    -t 300 -c:a pcm_s24le master.wav
  for i in 1 2 3 4; do
    ffmpeg -nostdin -v error -y -ss $(((i - 1) * 75)) -t 75 -i master.wav \
      -af "volume=$((i * 2 - 6))dB" -c:a pcm_s24le song$i.wav
  done
fi

now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }

loudnorm() {
  local stats
  stats=$(ffmpeg -nostdin -hide_banner -i master.wav \
    -af loudnorm=I=-14:TP=-1:print_format=json -f null - 2>&1 | sed -n '/^{/,/^}/p')
  local i tp lra thresh offset
  i=$(sed -n 's/.*"input_i" : "\(.*\)".*/\1/p' <<<"$stats")
  tp=$(sed -n 's/.*"input_tp" : "\(.*\)".*/\1/p' <<<"$stats")
  lra=$(sed -n 's/.*"input_lra" : "\(.*\)".*/\1/p' <<<"$stats")
  thresh=$(sed -n 's/.*"input_thresh" : "\(.*\)".*/\1/p' <<<"$stats")
  offset=$(sed -n 's/.*"target_offset" : "\(.*\)".*/\1/p' <<<"$stats")
  ffmpeg -nostdin -v error -y -i master.wav -af "loudnorm=I=-14:TP=-1:linear=true:\
measured_I=$i:measured_TP=$tp:measured_LRA=$lra:measured_thresh=$thresh:offset=$offset" \
    -ar 48000 -c:a pcm_s24le loudnorm.wav
}

log=$(mktemp)
for ((r = 1; r <= rounds; r++)); do
  t0=$(now)
  "$host" render "$module" master.wav target.wav --target-lufs -14 --true-peak-max -1 --quiet
  t1=$(now)
  loudnorm
  t2=$(now)
  rm -rf one two
  "$host" render "$module" song1.wav song2.wav song3.wav song4.wav --out-dir one \
    --preset streaming --jobs 1 --seed 1 --quiet
  t3=$(now)
  "$host" render "$module" song1.wav song2.wav song3.wav song4.wav --out-dir two \
    --preset streaming --jobs 2 --seed 1 --quiet
  t4=$(now)
  cmp -s one/song1.wav two/song1.wav && cmp -s one/song4.wav two/song4.wav ||
    { echo "--jobs 2 wrote other bytes than --jobs 1"; exit 1; }
  echo "$(elapsed "$t0" "$t1") $(elapsed "$t1" "$t2") $(elapsed "$t2" "$t3") $(elapsed "$t3" "$t4")" >>"$log"
done
"$host" render "$module" master.wav target.wav --target-lufs -14 --true-peak-max -1 |
  grep -E "chosen|reached"
awk '
  function median(list,    n, a, i, j, t) {
    n = split(list, a, " ")
    for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j - 1] + 0 > a[j] + 0; j--) {
      t = a[j]; a[j] = a[j - 1]; a[j - 1] = t
    }
    return a[int((n + 1) / 2)]
  }
  { t[NR] = $1; l[NR] = $2; one[NR] = $3; two[NR] = $4
    rt = rt " " $1 / $2; rj = rj " " $4 / $3
    st = st " " $1; sl = sl " " $2; s1 = s1 " " $3; s2 = s2 " " $4 }
  END {
    printf "%-58s %8s\n", "wall time (median of " NR " rounds)", "seconds"
    printf "%-58s %8.2f\n", "tk42host --target-lufs -14 --true-peak-max -1, 5 min", median(st)
    printf "%-58s %8.2f\n", "ffmpeg loudnorm, two passes (json, then linear=true)", median(sl)
    printf "%-58s %8.2f\n", "four files --preset streaming --jobs 1", median(s1)
    printf "%-58s %8.2f\n", "four files --preset streaming --jobs 2", median(s2)
    printf "\n%-58s %6s %6s\n", "ratio (median of the rounds)", "value", "limit"
    printf "%-58s %6.2f %6.2f\n", "target render / ffmpeg two-pass loudnorm", median(rt), 1.0
    printf "%-58s %6.2f %6.2f\n", "--jobs 2 / --jobs 1, four files", median(rj), 0.7
  }' "$log"
rm -f "$log"
