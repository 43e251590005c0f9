#!/bin/sh
# The CLAP module against the VST 2.4 module, both through tk42host: renders
# of real recordings in several settings are equal bit for bit, the CLAP
# state carries the module's 28 bytes, a fresh instance started from a saved
# CLAP state renders the same again, and both editors paint the same panel.
# Usage: clap_same_as_vst2.sh BIN_DIR VST2_MODULE HOST [RUNNER]
#   BIN_DIR holds HOST, VST2_MODULE and TK42R.clap; RUNNER runs HOST (Wine).
set -eu
bin=$1
vst2=$2
host=$3
runner=${4:-}
cd "$bin"
work=clap-sameness
rm -rf $work
mkdir $work

# Drums and instruments from Debian's hydrogen-data and lmms-common, as
# 16-bit, 24-bit and float files, mono and stereo.
cp /usr/share/hydrogen/data/drumkits/GMRockKit/Kick-Hard.wav $work/kick16.wav
ffmpeg -v error -i /usr/share/hydrogen/data/drumkits/rumpf_kit_z01_h2/beats_06-21.flac \
  -c:a pcm_s24le $work/beats24.wav
ffmpeg -v error -i /usr/share/lmms/samples/beats/jungle01.ogg -c:a pcm_f32le $work/jungle.wav
ffmpeg -v error -i /usr/share/lmms/samples/instruments/e_piano_accord02.ogg -c:a pcm_f32le \
  $work/piano.wav

run() {
  $runner ./$host "$@" >/dev/null
}

n=0
for input in kick16 beats24 jungle piano; do
  for settings in \
    "--gain-db 12 --ceiling-db -3 --attack-ms 1.3 --release-ms 200 --clip-release-ms 7" \
    "--mode clip --gain-db 18 --ceiling-db -6 --clip-release-ms 3.5 --param Show=1 --block 97" \
    "--double --gain-db 9 --release-ms 40 --clip-release-ms 480 --block 4096" \
    "--block 1 --gain-db 24 --ceiling-db -24 --attack-ms 0.02 --release-ms 1"; do
    n=$((n + 1))
    # shellcheck disable=SC2086
    run render $vst2 $work/$input.wav $work/vst2.wav --quiet --format float32 $settings \
      --save-state $work/vst2.state
    # shellcheck disable=SC2086
    run render TK42R.clap $work/$input.wav $work/clap.wav --quiet --format float32 $settings \
      --save-state $work/clap.state
    if ! cmp -s $work/vst2.wav $work/clap.wav; then
      echo "render $n ($input, $settings): the CLAP's output differs from the VST 2.4 module's" >&2
      exit 1
    fi
    tail -c 28 $work/clap.state > $work/clap.values
    if [ "$(wc -c < $work/clap.state)" -ne 36 ] || ! cmp -s $work/vst2.state $work/clap.values; then
      echo "render $n: the CLAP state does not carry the module's 28 bytes" >&2
      exit 1
    fi
    # A fresh instance from the saved state alone: the same settings.
    run render TK42R.clap $work/$input.wav $work/again.wav --quiet --format float32 \
      --state $work/clap.state $(echo "$settings" | grep -o -- '--double\|--block [0-9]*' || true)
    if ! cmp -s $work/clap.wav $work/again.wav; then
      echo "render $n: the state saved by the CLAP does not give its settings back" >&2
      exit 1
    fi
  done
done
echo "$n renders equal, states carried"

run editor $vst2 --screenshot $work/vst2.png --param Mode=1 --param Gain=0.3 --param Show=1
run editor TK42R.clap --screenshot $work/clap.png --param Mode=1 --param Gain=0.3 --param Show=1
if ! cmp -s $work/vst2.png $work/clap.png; then
  echo "the CLAP's editor paints a panel other than the VST 2.4 module's" >&2
  exit 1
fi
echo "editors paint the same panel"
rm -rf $work
