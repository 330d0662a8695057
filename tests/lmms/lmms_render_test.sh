#!/usr/bin/env bash
# LMMS renders a song through tramvek.dll (32-bit, under Wine): with the
# plug-in's default state, with a bank chunk (edited patterns, frozen buffer)
# stored in the project, and with one whose program has other parameters, a
# name and 12 steps (LMMS selects the program before it restores the chunk).
# Each render must match tramvek-host's render of the same input, tempo, block
# size and state, slice by slice on the grid.
#
# Usage: lmms_render_test.sh DLL HOST_EXE WORK_DIR
set -euo pipefail

dll=$(realpath "$1")
host=$(realpath "$2")
work=$3
repo=$(cd "$(dirname "$0")/../.." && pwd)
fixture="/usr/bin/python3 $repo/tests/lmms/lmms_fixture.py"
tempo=120
bars=4
block=256            # LMMS's period; tramvek-host renders with the same
tail_seconds=2       # LMMS renders one bar more than the song

# LMMS's Linux build here is 32-bit too: nothing of this test runs where
# 32-bit programs cannot.
bash "$repo/scripts/wine-run.sh" --check win32 || exit $?

# LMMS is installed for this test only (it is large); the install is idempotent.
bash "$repo/scripts/setup.sh" lmms

mkdir -p "$work/vst" "$work/home"
work=$(realpath "$work")
cd "$work"
cp "$dll" vst/tramvek.dll
rm -f ./*.wav ./*.fxb ./*.b64 ./*.mmp

# LMMS starts its Wine VST server in this prefix. Without a display the null
# graphics driver is needed, or the render hangs.
lmms_wine() {
  env -u DISPLAY WINEARCH=win32 WINEPREFIX="$work/wp" WINEDEBUG=-all HOME="$work/home" "$@"
}
if [ ! -f wp/.ready ]; then
  rm -rf wp
  lmms_wine wineboot -i >/dev/null 2>&1
  lmms_wine wineserver -w
  lmms_wine wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
  lmms_wine wineserver -w
  touch wp/.ready
fi

cat > lmmsrc.xml <<XML
<?xml version="1.0"?>
<!DOCTYPE lmms-config-file>
<lmms version="1.2.2"><ui syncvstplugins="1" disableautoquit="1"/><paths vstdir="$work/vst/" workingdir="$work/"/></lmms>
XML

# Paths handed to the Windows host are relative: it runs in this folder.
tramvek_host() {
  bash "$repo/scripts/wine-run.sh" "$host" "$@"
}

lmms_render() {
  local project=$1 output=$2
  # Renders share one system-wide shared-memory key: one at a time.
  (
    flock 9
    lmms_wine timeout 300 lmms --allowroot -c lmmsrc.xml render "$project" -x 1 -a -o "$output" >lmms.log 2>&1 ||
      { echo "LMMS failed (exit $?):"; tail -20 lmms.log; exit 1; }
  ) 9>/tmp/tramvek-lmms-render.lock
  if grep -q 'could not be loaded' lmms.log; then
    echo "FAIL: LMMS could not load the plug-in:"; grep 'could not be loaded' lmms.log; exit 1
  fi
}

$fixture make-input input.wav --tempo $tempo --bars $bars

echo "== default state"
$fixture project default.mmp --tempo $tempo --bars $bars --wav "$work/input.wav" --dll tramvek.dll
lmms_render default.mmp lmms-default.wav
tramvek_host render vst/tramvek.dll -i input.wav -o host-default.wav --tempo $tempo --block $block \
  --tail $tail_seconds >/dev/null
$fixture compare lmms-default.wav host-default.wav input.wav --tempo $tempo --bars $bars

echo "== bank chunk with edited patterns and a frozen buffer"
tramvek_host state vst/tramvek.dll --save-bank default.fxb >/dev/null
$fixture edit-bank default.fxb edited.fxb edited.b64 --tempo $tempo
$fixture project frozen.mmp --tempo $tempo --bars $bars --wav "$work/input.wav" --dll tramvek.dll --chunk edited.b64
lmms_render frozen.mmp lmms-frozen.wav
tramvek_host render vst/tramvek.dll -i input.wav -o host-frozen.wav --tempo $tempo --block $block \
  --tail $tail_seconds --bank edited.fxb >/dev/null
$fixture compare lmms-frozen.wav host-frozen.wav input.wav --tempo $tempo --bars $bars --frozen

echo "== bank chunk with edited parameters, a renamed program of 12 steps, odd-step triggers"
tramvek_host state vst/tramvek.dll --param 2=0.15 --param 3=0.5 --param 5=0.6 --save-bank params.fxb >/dev/null
$fixture edit-program params.fxb program.fxb program.b64 --name "Odd twelve" --length 12
$fixture project program.mmp --tempo $tempo --bars $bars --wav "$work/input.wav" --dll tramvek.dll --chunk program.b64
lmms_render program.mmp lmms-program.wav
tramvek_host render vst/tramvek.dll -i input.wav -o host-program.wav --tempo $tempo --block $block \
  --tail $tail_seconds --bank program.fxb >/dev/null
$fixture compare lmms-program.wav host-program.wav input.wav --tempo $tempo --bars $bars
tramvek_host state vst/tramvek.dll --bank program.fxb >state.txt
grep -q '^program 0 "Odd twelve"' state.txt || { echo "FAIL: the program name did not come back:"; cat state.txt; exit 1; }
