#!/usr/bin/env bash
# Runs a Windows program under Wine. The prefix lives in the build folder the
# program sits in (found by walking up to CMakeCache.txt) and is made once.
set -euo pipefail

program=$1
shift
dir=$(cd "$(dirname "$program")" && pwd)
while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
[ -f "$dir/CMakeCache.txt" ] || { echo "wine-run: no build folder above $program" >&2; exit 2; }

export WINEPREFIX="$dir/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if grep -q 'mingw-i686' "$dir/CMakeCache.txt"; then
  export WINEARCH=win32
else
  export WINEARCH=win64
fi

# Serialise the one-time prefix creation across parallel test runs.
exec 9>"$dir/wineprefix.lock"
flock 9
if [ ! -f "$WINEPREFIX/.tramvek-ready" ]; then
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
  wineserver -w
  touch "$WINEPREFIX/.tramvek-ready"
fi
flock -u 9

exec wine "$program" "$@"
