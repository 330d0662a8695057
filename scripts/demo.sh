#!/usr/bin/env bash
# The main job: renders the built-in demo loop through the plug-in, natively
# (out/demo.wav) and as the 32-bit Windows DLL under Wine (out/demo-win32.wav),
# says whether the two renders are the same bit for bit, and saves a picture of
# the editor as the Windows build draws it in a real window (out/editor.png)
# and as the Linux build draws it in an X11 window (out/editor-linux.png).
# On a machine that cannot run 32-bit programs the 64-bit DLL stands in for
# the 32-bit one (out/demo-win64.wav).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
jobs=$(nproc)
mkdir -p out

cmake --preset linux-release >/dev/null
cmake --build --preset linux-release -j "$jobs" --target tramvek tramvek-host
build/linux-release/tools/host/tramvek-host render build/linux-release/src/plugin/libtramvek.so -o out/demo.wav
echo "wrote out/demo.wav"

windows=win32
dll=tramvek.dll
if ! bash scripts/wine-run.sh --check win32; then
  windows=win64
  dll=tramvek64.dll
fi
cmake --preset $windows >/dev/null
cmake --build --preset $windows -j "$jobs" --target tramvek tramvek-host
bash scripts/wine-run.sh build/$windows/tools/host/tramvek-host.exe render build/$windows/src/plugin/$dll \
  -o out/demo-$windows.wav
echo "wrote out/demo-$windows.wav"

# The editor window needs a display: a private Xvfb unless one is already there.
source scripts/xvfb.sh
start_xvfb
build/linux-release/tools/host/tramvek-host snapshot build/linux-release/src/plugin/libtramvek.so \
  -o out/editor-linux.png --render-first 5
echo "wrote out/editor-linux.png"
bash scripts/wine-run.sh build/$windows/tools/host/tramvek-host.exe snapshot build/$windows/src/plugin/$dll \
  -o out/editor.png --render-first 5
WINEPREFIX="$PWD/build/$windows/wineprefix" wineserver -k 2>/dev/null || true
echo "wrote out/editor.png"

if cmp -s out/demo.wav out/demo-$windows.wav; then
  echo "the Linux and $windows renders are identical"
else
  echo "the Linux and $windows renders differ" >&2
  exit 1
fi
