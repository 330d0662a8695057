#!/usr/bin/env bash
# One sound in both formats: the same renders through the VST 2 library and
# the LV2 bundle, with the same host, must be identical bit for bit: the
# defaults, an odd tempo and sample rate with uneven blocks, and every
# parameter moved (the LV2 ports in display units, the VST 2 ones normalised).
#
# Usage: lv2_sound.sh HOST VST2_LIBRARY LV2_BUNDLE
set -euo pipefail

host=$1
vst2=$2
lv2=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

settings=(
  ""
  "--tempo 127.5 --sample-rate 48000 --block 1,7,512"
  "--block 512,77,1 --tempo 133 --tail 1 --param 0=0.2 --param 1=0.5 --param 2=0.6 --param 3=0.7 --param 4=0.8 --param 6=0.9 --param 7=0.5"
)

status=0
for index in "${!settings[@]}"; do
  # shellcheck disable=SC2206
  options=(${settings[$index]})
  "$host" render "$vst2" -o "$scratch/vst2-$index.wav" "${options[@]}" 2>/dev/null
  "$host" render "$lv2" -o "$scratch/lv2-$index.wav" "${options[@]}" 2>/dev/null
  if cmp "$scratch/vst2-$index.wav" "$scratch/lv2-$index.wav"; then
    echo "lv2-sound: [${settings[$index]}]: bit-identical"
  else
    echo "lv2-sound: [${settings[$index]}]: the LV2 render differs from the VST 2 render"
    status=1
  fi
done
# Saved and loaded state: a VST 2 bank and an LV2 state directory saved after
# the same render bring back the same sound (recorded audio, programs, parameters).
saved=(--block 256 --tempo 133 --param 1=0.3 --param 6=0.25)
"$host" render "$vst2" -o "$scratch/first.wav" "${saved[@]}" --save-bank "$scratch/bank.fxb" 2>/dev/null
"$host" render "$lv2" -o "$scratch/first.wav" "${saved[@]}" --save-lv2-state "$scratch/state" 2>/dev/null
"$host" render "$vst2" -o "$scratch/vst2-state.wav" --tempo 133 --bank "$scratch/bank.fxb" 2>/dev/null
"$host" render "$lv2" -o "$scratch/lv2-state.wav" --tempo 133 --lv2-state "$scratch/state" 2>/dev/null
"$host" render "$lv2" -o "$scratch/lv2-fresh.wav" --tempo 133 2>/dev/null
# (and differ from a fresh instance's, or the state carried nothing)
if cmp "$scratch/vst2-state.wav" "$scratch/lv2-state.wav" && ! cmp -s "$scratch/lv2-state.wav" "$scratch/lv2-fresh.wav"; then
  echo "lv2-sound: a saved state comes back as the VST 2 bank does: bit-identical"
else
  echo "lv2-sound: the LV2 state's render differs from the VST 2 bank's"
  status=1
fi
exit $status
