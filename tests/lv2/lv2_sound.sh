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
# A state whose audio file is gone or is not audio still brings back the
# rest (here: the parameters), says so in one line, and the render goes on.
"$host" render "$lv2" -o "$scratch/lv2-params.wav" --tempo 133 --param 1=0.3 --param 6=0.25 2>/dev/null
for damage in missing garbage; do
  rm -rf "$scratch/damaged" && cp -r "$scratch/state" "$scratch/damaged"
  if [ "$damage" = missing ]; then rm "$scratch/damaged/recorded.wav"; else echo "not audio" >"$scratch/damaged/recorded.wav"; fi
  if "$host" render "$lv2" -o "$scratch/lv2-damaged.wav" --tempo 133 --lv2-state "$scratch/damaged" 2>"$scratch/log" &&
    grep -q "could not be read" "$scratch/log" && cmp "$scratch/lv2-damaged.wav" "$scratch/lv2-params.wav"; then
    echo "lv2-sound: a state with its audio file $damage restores the rest"
  else
    echo "lv2-sound: a state with its audio file $damage was not restored: $(cat "$scratch/log")"
    status=1
  fi
done
# MIDI at its frames: the VST 2 library loads the bank file, the LV2 bundle
# the same bank as one whole-chunk property, and notes and controllers land
# inside uneven blocks.
source "$(dirname "$0")/bank_state.sh"
midi_state "$host" "$vst2" "$scratch/midi.fxb" "$scratch/midi-state"
# One track, 96 ticks a quarter at 120 quarters a minute: notes on and off,
# two at once, the controller before and between them, from the fourth second
# (when the first pass has been recorded).
track='\x86\x00\xb0\x07\x40 \x25\x90\x30\x64 \x0d\x80\x30\x00 \x32\x90\x35\x50 \x09\x80\x35\x00
  \x47\x90\x3c\x7f \x05\xb0\x07\x10 \x1e\x80\x3c\x00 \x5a\x90\x4f\x40 \x0b\x90\x31\x60
  \x28\x80\x4f\x00 \x00\x80\x31\x00 \x00\xff\x2f\x00'
track=${track//[[:space:]]/}
length=$(printf "$track" | wc -c)
printf "MThd\x00\x00\x00\x06\x00\x00\x00\x01\x00\x60MTrk\x00\x00\x00\\x$(printf %02x "$length")$track" >"$scratch/notes.mid"
midi=(--tempo 127.5 --sample-rate 48000 --block 1,7,512,333 --midi "$scratch/notes.mid")
"$host" render "$vst2" -o "$scratch/vst2-midi.wav" "${midi[@]}" --bank "$scratch/midi.fxb" 2>/dev/null
"$host" render "$lv2" -o "$scratch/lv2-midi.wav" "${midi[@]}" --lv2-state "$scratch/midi-state" 2>/dev/null
"$host" render "$vst2" -o "$scratch/vst2-quiet.wav" "${midi[@]:0:6}" --bank "$scratch/midi.fxb" 2>/dev/null
# (and differ from the same bank without MIDI, or the notes did nothing)
if cmp "$scratch/vst2-midi.wav" "$scratch/lv2-midi.wav" && ! cmp -s "$scratch/vst2-midi.wav" "$scratch/vst2-quiet.wav"; then
  echo "lv2-sound: notes and a learned controller at their frames: bit-identical"
else
  echo "lv2-sound: with MIDI the LV2 render differs from the VST 2 render"
  status=1
fi
exit $status
