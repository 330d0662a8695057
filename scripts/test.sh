#!/usr/bin/env bash
# Builds every target and runs every test: native (sanitized), the thread
# tests again under ThreadSanitizer, then 32- and 64-bit Windows under Wine
# (each preset with its end-to-end tests), then a bounded fuzzing run.
# Installs what it needs. The tests that open windows start a private X
# server themselves (a CTest fixture, scripts/test-display.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

jobs=$(nproc)
status=0
for preset in ${TRAMVEK_PRESETS:-linux linux-tsan win32 win64}; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs" || status=1
done

# Chunk loading, MIDI event lists and preset/bank files under libFuzzer.
[ "${TRAMVEK_FUZZ:-1}" = 1 ] && { FUZZ_SECONDS=${FUZZ_SECONDS:-60} bash scripts/fuzz.sh || status=1; }
exit $status
