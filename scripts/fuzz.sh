#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for FUZZ_SECONDS seconds
# (default 60), starting from the seed corpus in fuzz/corpus/<target>.
# Fails on the first finding; the input that caused it is left in
# build/fuzz/artifacts. FUZZ_TARGETS limits the run to some targets.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-60}
targets=(${FUZZ_TARGETS:-set_chunk process_events fx_file wav_reader})
out=build/fuzz
jobs=${FUZZ_JOBS:-2}

rm -rf "$out/obj"
mkdir -p "$out/obj" "$out/artifacts"
sanitize=(-fsanitize=address,undefined -fno-sanitize-recover=undefined)
cxxflags=(-std=c++20 -g -O1 -fno-omit-frame-pointer -ffp-contract=off -Wall -Wextra -Werror
          -Isrc -I. -Itests -Itools/host "${sanitize[@]}")

# The plug-in without its editor: the VST 2 adapter, the engine and the host
# layer, instrumented for coverage, and the tests' way into the engine's state.
sources=(src/host/*.cpp src/params/*.cpp src/engine/*.cpp src/plugin/vst2/slicer_plugin.cpp src/plugin/vst2/no_editor.cpp
         tests/support/engine_state_access.cpp)
printf '%s\n' "${sources[@]}" | xargs -P "$jobs" -I{} sh -c \
  'clang++ "$@" -fsanitize=fuzzer-no-link -c {} -o '"$out"'/obj/$(echo {} | tr / _).o' _ "${cxxflags[@]}"

status=0
for target in "${targets[@]}"; do
  echo "== fuzz $target (${seconds}s)"
  # The preset and bank readers belong to the command-line host; the WAV reader to src/audio_file.
  extra=()
  [ "$target" = fx_file ] && extra=(tools/host/formats/fx_file.cpp)
  [ "$target" = wav_reader ] && extra=(src/audio_file/wav_reader.cpp src/audio_file/stereo_audio.cpp)
  clang++ "${cxxflags[@]}" -fsanitize=fuzzer "fuzz/${target}_fuzzer.cpp" "${extra[@]}" "$out"/obj/*.o -o "$out/$target"
  # Work on a copy of the seeds so that a run never changes the repository.
  corpus="$out/corpus/$target"
  mkdir -p "$corpus"
  cp -n "fuzz/corpus/$target"/* "$corpus"/ 2>/dev/null || true
  if ! "$out/$target" -max_total_time="$seconds" -max_len=90000 -timeout=20 -rss_limit_mb=4096 \
      -artifact_prefix="$out/artifacts/$target-" -print_final_stats=1 "$corpus" \
      > "$out/$target.log" 2>&1; then
    echo "fuzz: $target found a problem; see $out/$target.log and $out/artifacts/" >&2
    tail -n 40 "$out/$target.log" >&2
    status=1
  else
    grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb|^#[0-9]+.*DONE' "$out/$target.log" || true
  fi
done
exit $status
