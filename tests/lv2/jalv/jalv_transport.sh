#!/usr/bin/env bash
# A live LV2 host: jalv runs the bundle on a private JACK server with the
# dummy back end, fed a sine, while jack_transport (the timebase master) sets
# the tempo, rolls, stops, relocates off the beat and rolls again. A
# transport-following metronome is recorded beside the output, and every
# slice must start on the step grid of the transport's position. Then jalv
# restores a state where notes start the slices (jalv -l), jack_midiseq loops
# notes off the block boundaries into it and into jack_midisine, and every
# slice must start at a note, to the frame.
#
# Usage: jalv_transport.sh LV2_BUNDLE GRID_CHECK WORK_DIR HOST VST2_LIBRARY
# Exits 77 (skipped) where jackd, jalv or the JACK example clients are missing.
set -euo pipefail

bundle=$1
check=$2
work=$(realpath -m "$3")
host=$4
vst2=$5

for tool in jackd jalv jack_transport jack_metro jack_midiseq jack_midisine jack_simple_client jack_rec \
  jack_connect jack_wait jack_lsp; do
  command -v "$tool" >/dev/null || { echo "jalv-transport: $tool is missing (scripts/setup.sh installs it)"; exit 77; }
done

tempo=150
beat=19200 # frames at 48 kHz
step=4800  # a sixteenth
loop=19200 # the notes' loop: one note at its start, one 9700 frames on
rm -rf "$work"
mkdir -p "$work/lv2"
cp -r "$bundle" "$work/lv2/"
export LV2_PATH="$work/lv2" JACK_DEFAULT_SERVER="tramvek-$$" JACK_NO_START_SERVER=1
# A private home too: jalv and JACK keep nothing of ours.
export HOME="$work"
source "$(dirname "$0")/../bank_state.sh"
midi_state "$host" "$vst2" "$work/notes.fxb" "$work/notes-state"

pids=()
stop_all() {
  exec 3>&- 4>&- || true
  # A JACK client leaving now and then hangs on its way out: killed after 2 s.
  local pid tries
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    pid=${pids[$i]}
    kill "$pid" 2>/dev/null || true
    for ((tries = 0; tries < 20; tries++)); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  pids=()
}
trap stop_all EXIT

start() {
  "$@" &
  pids+=($!)
}

wait_for_ports() {
  for _ in $(seq 100); do
    local ports missing=0 port
    ports=$(jack_lsp 2>/dev/null)
    for port in "$@"; do
      grep -q "^$port" <<<"$ports" || missing=1
    done
    [ $missing -eq 0 ] && return 0
    sleep 0.1
  done
  echo "jalv-transport: the clients' ports did not appear"
  return 1
}

# One live run into $work/recording.wav: transport (the metronome recorded,
# the transport relocated) or notes (the notes' sound recorded).
live_run() {
  local mode=$1 reference state=()
  rm -f "$work"/*.in "$work/recording.wav"
  start jackd -d dummy -r 48000 -p 256 >"$work/jackd.log" 2>&1
  jack_wait -w -t 10 >/dev/null || return 1
  [ "$mode" = notes ] && state=(-l "$work/notes-state")
  # jalv's console and jack_transport read commands until their input ends:
  # each reads a pipe this script holds open (opened after the reader, which
  # blocks until then in its own process).
  mkfifo "$work/jalv.in" "$work/transport.in"
  # The timebase master first: a plug-in started before it hears no musical
  # position, runs on its own clock and records what a later slice would play.
  jack_transport <"$work/transport.in" >"$work/transport.log" 2>&1 &
  pids+=($!)
  exec 3>"$work/transport.in"
  printf 'master\ntempo %s\nlocate 0\n' $tempo >&3
  sleep 0.5
  jalv -n slicer -x "${state[@]}" urn:tramvek:slicer <"$work/jalv.in" >"$work/jalv.log" 2>&1 &
  pids+=($!)
  exec 4>"$work/jalv.in"
  start jack_simple_client >/dev/null 2>&1
  if [ "$mode" = notes ]; then
    start jack_midisine >/dev/null 2>&1
    start jack_midiseq notes $loop 0 48 2000 9700 55 2000 >/dev/null 2>&1
    wait_for_ports slicer:in_r jack_simple_client:output2 midisine:audio_out notes:out || return 1
    jack_connect notes:out slicer:midi_in || return 1
    jack_connect notes:out midisine:midi_in || return 1
    reference=midisine:audio_out
  else
    start jack_metro -t -b $tempo -n click >/dev/null 2>&1
    wait_for_ports slicer:in_r jack_simple_client:output2 click: || return 1
    reference=$(jack_lsp | grep '^click:' | head -1)
  fi
  jack_connect jack_simple_client:output1 slicer:in_l || return 1
  jack_connect jack_simple_client:output2 slicer:in_r || return 1
  jack_rec -f "$work/recording.wav" -d 8 -b 32 "$reference" slicer:out_l slicer:out_r >"$work/rec.log" 2>&1 &
  local recorder=$!
  sleep 0.5
  echo "play" >&3
  if [ "$mode" = transport ]; then
    sleep 3.5
    echo "stop" >&3
    sleep 0.5
    echo "locate 500000" >&3 # between beats: 26 beats and 0.04 of one
    sleep 0.2
    echo "play" >&3
  fi
  wait $recorder || return 1
  echo "quit" >&3
  stop_all
}

# The dummy back end keeps real time on a busy machine only mostly: a cycle
# a client did not finish (an xrun) breaks the audio, and now and then a
# whole stretch came out a block off the metronome (with two cores shared by
# several builds). A run is tried again, a few times; a fault of the plug-in
# fails every time.
# jack_transport truncates its bar-beat-tick position to whole ticks (1/1920
# beat, 10 frames here) where the metronome follows the frame, and the plug-in
# follows the musical position: a tick, and a few frames for onsets. The notes
# are placed to the frame.
checks=("transport $beat $step 13 4 2" "notes $loop $loop 3 4 1")
for check_args in "${checks[@]}"; do
  # shellcheck disable=SC2086
  set -- $check_args
  for attempt in 1 2 3 4 5; do
    SECONDS=0
    # A client the server dropped, or one that failed to connect, is a broken
    # run like an xrun: stopped and tried again.
    if live_run "$1"; then
      echo "jalv-transport: $1, attempt $attempt, the live part took $SECONDS s"
      "$check" "$work/recording.wav" "${@:2}" && continue 2
    else
      echo "jalv-transport: $1, attempt $attempt: a JACK client did not start or connect"
    fi
    stop_all
    echo "jalv-transport: $1 failed; the server's xruns: $(grep -c XRun "$work/jackd.log" || true)"
  done
  exit 1
done
