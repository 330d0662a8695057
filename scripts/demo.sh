#!/usr/bin/env bash
# The main job: renders the built-in demo loop through the plug-in and writes
# the result (out/demo.wav) and a picture of the editor (out/editor.png).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset linux-release >/dev/null
cmake --build --preset linux-release -j "$(nproc)" --target tramvek tramvek-host
mkdir -p out
build/linux-release/tools/host/tramvek-host render build/linux-release/src/plugin/libtramvek.so -o out/demo.wav
echo "wrote out/demo.wav"
