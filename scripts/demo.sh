#!/usr/bin/env bash
# The main job: renders the built-in demo loop through the plug-in, natively
# (out/demo.wav) and as the 32-bit Windows DLL under Wine (out/demo-win32.wav),
# says whether the two renders are the same bit for bit, draws the input and
# the output on the step grid (out/demo.png), renders the loop again through
# the step sheet resources/showcase/showcase.steps (re-ordered, reversed,
# re-pitched slices: out/showcase.wav and the same through the DLL, drawn with
# every output step labelled in out/showcase.png), writes the input loop
# itself (out/demo-input.wav), and saves a picture of the
# editor as the Windows build draws it in a real window (out/editor.png) and
# as the Linux build draws it in an X11 window (out/editor-linux.png).
# On a machine that cannot run 32-bit programs the 64-bit DLL stands in for
# the 32-bit one (out/demo-win64.wav).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
jobs=$(nproc)
tempo=120
mkdir -p out

windows=win32
dll=tramvek.dll
if ! bash scripts/wine-run.sh --check win32; then
  windows=win64
  dll=tramvek64.dll
fi

cmake --preset linux-release >/dev/null
cmake --build --preset linux-release -j "$jobs" --target tramvek tramvek-host tramvek-waveforms
cmake --preset $windows >/dev/null
cmake --build --preset $windows -j "$jobs" --target tramvek tramvek-host
linux_host=build/linux-release/tools/host/tramvek-host
linux_plugin=build/linux-release/src/plugin/libtramvek.so
windows_host=build/$windows/tools/host/tramvek-host.exe
windows_plugin=build/$windows/src/plugin/$dll
showcase=resources/showcase/showcase.steps

# A Wine session keeps the display of the program that started it, so the X
# server comes first. The Windows steps run in a Wine prefix that only this job
# uses: no session of the tests (or of anyone else) can stand in for ours, and
# one a killed run left behind is ours to end.
export TRAMVEK_WINE_PREFIX=wineprefix-demo
demo_prefix="$PWD/build/$windows/$TRAMVEK_WINE_PREFIX"
end_wine_session() {
  if [ -d "$demo_prefix" ]; then
    WINEPREFIX="$demo_prefix" wineserver -k 2>/dev/null || true
  fi
}
source scripts/xvfb.sh
start_xvfb
trap 'end_wine_session; stop_xvfb' EXIT
end_wine_session

"$linux_host" render "$linux_plugin" -o out/demo.wav --tempo $tempo
# The LV2 bundle renders the demo loop too, and must sound as the VST 2 library does.
cmake --build --preset linux-release -j "$jobs" --target tramvek_lv2
"$linux_host" render build/linux-release/src/plugin/lv2/tramvek.lv2 -o out/demo-lv2.wav --tempo $tempo
if ! cmp -s out/demo.wav out/demo-lv2.wav; then
  echo "out/demo-lv2.wav (the LV2 bundle) differs from out/demo.wav" >&2
  exit 1
fi
echo "wrote out/demo-lv2.wav          the same through the LV2 bundle: identical to out/demo.wav"
bash scripts/wine-run.sh "$windows_host" render "$windows_plugin" -o out/demo-$windows.wav --tempo $tempo
# The plug-in's default pattern: 16 steps of a sixteenth note.
build/linux-release/tools/host/tramvek-waveforms out/demo.wav -o out/demo.png --tempo $tempo \
  --steps-per-beat 4 --pattern-steps 16
# Dry only: the plug-in passes the demo loop through bit for bit.
"$linux_host" render "$linux_plugin" -o out/demo-input.wav --tempo $tempo --param 5=0
"$linux_host" render "$linux_plugin" -o out/showcase.wav --tempo $tempo --steps $showcase
bash scripts/wine-run.sh "$windows_host" render "$windows_plugin" -o out/showcase-$windows.wav --tempo $tempo \
  --steps $showcase
build/linux-release/tools/host/tramvek-waveforms out/showcase.wav -o out/showcase.png --tempo $tempo \
  --steps-per-beat 4 --steps $showcase
"$linux_host" snapshot "$linux_plugin" -o out/editor-linux.png --render-first 5
bash scripts/wine-run.sh "$windows_host" snapshot "$windows_plugin" -o out/editor.png --render-first 5

cat <<EOF
wrote out/demo.wav              the demo loop through the Linux plug-in (listen: aplay out/demo.wav, or any audio player)
wrote out/demo-$windows.wav        the same through the $windows DLL under Wine
wrote out/demo.png              input (top) and output (bottom) on the step grid: each pattern comes back sliced one pattern later
wrote out/demo-input.wav        the demo loop itself, the input of every render (listen: aplay out/demo-input.wav)
wrote out/showcase.wav          the demo loop through the step sheet $showcase: slices re-ordered, reversed, re-pitched,
                                accented, cut short, repeated and left to chance (listen: aplay out/showcase.wav)
wrote out/showcase-$windows.wav    the same through the $windows DLL under Wine
wrote out/showcase.png          the showcase on the step grid, every output step labelled with the input step
                                it plays (<3: step 3 backwards) and its pitch in semitones (+12)
wrote out/editor-linux.png      the Linux editor in an X11 window
wrote out/editor.png            the Windows editor in a Wine window
EOF
status=0
for render in demo showcase; do
  if cmp -s out/$render.wav out/$render-$windows.wav; then
    echo "the Linux and $windows $render renders are identical"
  else
    echo "the Linux and $windows $render renders differ" >&2
    status=1
  fi
done
exit $status
