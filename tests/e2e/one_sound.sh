#!/usr/bin/env bash
# One sound on every platform: renders the same material through the Linux
# .so with the Linux host, and through each Windows DLL with its Windows host
# under Wine, and requires every output to match the Linux one sample for
# sample within 1e-6 (bit-identical is the aim; it says which it found).
#
# Usage: one_sound.sh SOURCE_DIR LINUX_BUILD WINDOWS_BUILD [WINDOWS_BUILD...]
# The Linux build is required (exit 77, "skipped", without it), and so is the
# first Windows build (exit 77 where this machine cannot run its word size);
# Windows builds after the first are compared when they exist and can run.
set -euo pipefail

source_dir=$1
linux_build=$2
shift 2

linux_host="$linux_build/tools/host/tramvek-host"
linux_plugin="$linux_build/src/plugin/libtramvek.so"
if [ ! -x "$linux_host" ] || [ ! -f "$linux_plugin" ]; then
  echo "one-sound: no Linux host and plug-in in $linux_build: skipped"
  exit 77
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Two settings: the defaults, and one that drives every stage of the voice.
settings=(
  "--block 512"
  "--block 512,77,1 --tempo 133 --tail 1 --param 0=0.2 --param 1=0.5 --param 2=0.6 --param 3=0.7 --param 4=0.8 --param 6=0.9 --param 7=0.5"
)

# Largest difference between the float samples of two WAV files written by the host.
max_difference() {
  paste <(od -An -v -tf4 -w4 -j58 "$1") <(od -An -v -tf4 -w4 -j58 "$2") |
    awk '{ d = $1 - $2; if (d < 0) d = -d; if (d > m) m = d } END { printf "%.3g\n", m + 0 }'
}

status=0
for index in "${!settings[@]}"; do
  # shellcheck disable=SC2206
  options=(${settings[$index]})
  reference="$scratch/linux-$index.wav"
  "$linux_host" render "$linux_plugin" -o "$reference" "${options[@]}"
  for build in "$@"; do
    [ -d "$build" ] || continue
    windows_host="$build/tools/host/tramvek-host.exe"
    windows_plugin=$(ls "$build"/src/plugin/tramvek*.dll 2>/dev/null | head -n 1 || true)
    if [ ! -f "$windows_host" ] || [ -z "$windows_plugin" ]; then
      echo "one-sound: $build has no host and plug-in yet: not compared"
      continue
    fi
    word_size=win64
    case $windows_plugin in *tramvek.dll) word_size=win32 ;; esac
    if ! bash "$source_dir/scripts/wine-run.sh" --check $word_size 2>/dev/null; then
      echo "one-sound: this machine cannot run $word_size programs: $build not compared"
      [ "$build" = "$1" ] && exit 77
      continue
    fi
    output="$scratch/$(basename "$windows_plugin" .dll)-$index.wav"
    bash "$source_dir/scripts/wine-run.sh" "$windows_host" render "$windows_plugin" -o "$output" "${options[@]}"
    name="$(basename "$windows_plugin") [${settings[$index]}]"
    if [ "$(stat -c %s "$output")" != "$(stat -c %s "$reference")" ]; then
      echo "one-sound: $name: length differs from the Linux render"
      status=1
    elif cmp -s "$output" "$reference"; then
      echo "one-sound: $name: bit-identical to the Linux render"
    else
      difference=$(max_difference "$output" "$reference")
      if awk -v d="$difference" 'BEGIN { exit !(d <= 1e-6) }'; then
        echo "one-sound: $name: within $difference of the Linux render"
      else
        echo "one-sound: $name: differs from the Linux render by up to $difference"
        status=1
      fi
    fi
  done
done
exit $status
