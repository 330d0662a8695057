#!/usr/bin/env bash
# Runs a Windows program under Wine. The prefix lives in the build folder the
# program sits in (found by walking up to CMakeCache.txt) and is made once;
# TRAMVEK_WINE_PREFIX names another folder of that build for it (the main job
# keeps a session of its own there).
#
# Usage: wine-run.sh PROGRAM [ARGS...]
#        wine-run.sh --check win32|win64   (exit 0: can run; 77: cannot)
# Where the machine cannot run the program's word size at all (kernels built
# or booted without 32-bit x86 support), it says so and exits 77, which the
# tests report as skipped.
set -euo pipefail

# Debian's `wine` starts the 32-bit loader whenever wine32 is installed, even
# for 64-bit programs; each word size goes straight to its own loader here.
loader_for() {
  case $1 in
    win32) echo /usr/lib/wine/wine ;;
    *) echo /usr/lib/wine/wine64 ;;
  esac
}

check() {
  if ! "$(loader_for "$1")" --version >/dev/null 2>&1; then
    echo "wine-run: this machine cannot run $1 programs (no Wine loader that starts here): skipped" >&2
    return 77
  fi
}

if [ "${1:-}" = --check ]; then
  check "$2"
  exit $?
fi

program=$1
shift
dir=$(cd "$(dirname "$program")" && pwd)
while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
[ -f "$dir/CMakeCache.txt" ] || { echo "wine-run: no build folder above $program" >&2; exit 2; }

if grep -q 'mingw-i686' "$dir/CMakeCache.txt"; then
  export WINEARCH=win32
else
  export WINEARCH=win64
fi
check "$WINEARCH" || exit $?
loader=$(loader_for "$WINEARCH")

export WINEPREFIX="$dir/${TRAMVEK_WINE_PREFIX:-wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# Serialise the one-time prefix creation across parallel test runs.
exec 9>"$WINEPREFIX.lock"
flock 9
if [ ! -f "$WINEPREFIX/.tramvek-ready" ]; then
  "$loader" wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  "$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
  wineserver -w
  touch "$WINEPREFIX/.tramvek-ready"
fi
flock -u 9

exec "$loader" "$program" "$@"
