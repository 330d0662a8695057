#!/usr/bin/env bash
# The main job: renders the built-in demo loop through the plug-in, natively
# (out/demo.wav) and as the 32-bit Windows DLL under Wine (out/demo-win32.wav),
# and says whether the two renders are the same bit for bit.
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

if cmp -s out/demo.wav out/demo-win32.wav; then
  echo "the Linux and 32-bit Windows renders are identical"
else
  echo "the Linux and 32-bit Windows renders differ" >&2
  exit 1
fi
