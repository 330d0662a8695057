#!/usr/bin/env bash
# The main job: renders the built-in demo loop through the plug-in, natively
# (out/demo.wav) and as the 32-bit Windows DLL under Wine (out/demo-win32.wav),
# says whether the two renders are the same bit for bit, and saves a picture of
# the editor as the Windows build draws it in a real window (out/editor.png)
# and as the Linux build draws it in an X11 window (out/editor-linux.png).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
jobs=$(nproc)
mkdir -p out

cmake --preset linux-release >/dev/null
cmake --build --preset linux-release -j "$jobs" --target tramvek tramvek-host
build/linux-release/tools/host/tramvek-host render build/linux-release/src/plugin/libtramvek.so -o out/demo.wav
echo "wrote out/demo.wav"

cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$jobs" --target tramvek tramvek-host
bash scripts/wine-run.sh build/win32/tools/host/tramvek-host.exe render build/win32/src/plugin/tramvek.dll \
  -o out/demo-win32.wav
echo "wrote out/demo-win32.wav"

# The editor window needs a display: a private Xvfb unless one is already there.
source scripts/xvfb.sh
start_xvfb
build/linux-release/tools/host/tramvek-host snapshot build/linux-release/src/plugin/libtramvek.so \
  -o out/editor-linux.png --render-first 5
echo "wrote out/editor-linux.png"
bash scripts/wine-run.sh build/win32/tools/host/tramvek-host.exe snapshot build/win32/src/plugin/tramvek.dll \
  -o out/editor.png --render-first 5
WINEPREFIX="$PWD/build/win32/wineprefix" wineserver -k 2>/dev/null || true
echo "wrote out/editor.png"

if cmp -s out/demo.wav out/demo-win32.wav; then
  echo "the Linux and 32-bit Windows renders are identical"
else
  echo "the Linux and 32-bit Windows renders differ" >&2
  exit 1
fi
