#!/usr/bin/env bash
# Drives the editor of the real DLL in tramvek-host.exe under Wine with xdotool
# on a private X server, and checks what it sees: the help screen appears and
# goes, a knob drag reaches the parameter, a pattern button gets selected, and
# closing and reopening the editor leaks no GDI objects. The screenshots stay
# in the artifacts folder.
# Usage: editor_session_test.sh SCRIPTS_DIR HOST_EXE PLUGIN_DLL ARTIFACTS_DIR
set -euo pipefail
scripts=$1 host=$2 plugin=$(realpath "$3") artifacts=$4
mkdir -p "$artifacts"
artifacts=$(realpath "$artifacts")

bash "$scripts/wine-run.sh" --check win32 || exit $?

unset DISPLAY  # never press on someone else's screen
source "$scripts/xvfb.sh"
start_xvfb

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# The snapshot command, as the main job runs it, after some audio went through.
bash "$scripts/wine-run.sh" "$host" snapshot "Z:$plugin" -o "Z:$artifacts/snapshot.png" --render-first 5 ||
  fail "snapshot command"
[ -s "$artifacts/snapshot.png" ] || fail "no snapshot picture"

# Windows command lines take "/..." for an option: the plug-in goes by its drive path.
coproc HOST { bash "$scripts/wine-run.sh" "$host" editor-session "Z:$plugin" 2>"$artifacts/host-errors.txt"; }
send() { echo "$1" >&"${HOST[1]}"; }
# Replies end in CR LF on Windows.
reply() { local line; read -r -t 60 line <&"${HOST[0]}" || { echo "no reply from the host" >&2; exit 1; }; echo "${line%$'\r'}"; }
ask() { send "$1"; reply; }

cleanup() {
  if [ -n "${HOST[1]:-}" ]; then
    echo quit >&"${HOST[1]}" 2>/dev/null || true
  fi
  wait "${HOST_PID:-}" 2>/dev/null || true
}
trap 'cleanup; kill "${TRAMVEK_XVFB_PID:-0}" 2>/dev/null || true' EXIT

first=$(reply)
[ "$first" = ready ] || { echo "the editor session did not start: $first" >&2; exit 1; }
read -r ox oy <<<"$(ask origin)"
screen() { echo $((ox + $1)) $((oy + $2)); }

# A press that the window sees while the host runs its message loop: the
# controls poll the button state, so it must still be down when the press arrives.
press_and_drag() {  # X Y [DX ...]: press at (X, Y), move by each DX in turn, release
  local x=$1 y=$2
  shift 2
  send "idle 1500"
  xdotool mousemove $(screen "$x" "$y")
  sleep 0.2
  xdotool mousedown 1
  sleep 0.15
  for dx in "$@"; do
    xdotool mousemove $(screen $((x + dx)) "$y")
    sleep 0.1
  done
  sleep 0.1
  xdotool mouseup 1
  [ "$(reply)" = ok ] || fail "idle during a press"
}

# A click as quick as xdotool makes it, while the host runs its message loop
# and idles the editor every 20 ms: it must act like any other press.
quick_click() {  # X Y BUTTON
  send "idle 1200"
  xdotool mousemove $(screen "$1" "$2")
  sleep 0.2
  xdotool click "$3"
  [ "$(reply)" = ok ] || fail "idle around a click"
}
expect_pixel() {  # X Y "R G B" WHAT
  local got
  got=$(ask "pixel $1 $2")
  [ "$got" = "$3" ] || fail "$4: pixel ($1,$2) is '$got', not '$3'"
}

ask "idle 300" >/dev/null
ask "snapshot $artifacts/editor.png" >/dev/null
sequencer=$(ask "pixel 300 200")
[ "$sequencer" = "64 78 192" ] || fail "a Trigger bar at (300,200) before help, got '$sequencer'"

# "?" shows the help screen over the whole window; the next click removes it.
press_and_drag 520 310
ask "snapshot $artifacts/help.png" >/dev/null
help=$(ask "pixel 300 200")
[ "$help" = "250 212 183" ] || fail "help screen at (300,200), got '$help'"
press_and_drag 300 200
ask "snapshot $artifacts/after-help.png" >/dev/null
back=$(ask "pixel 300 200")
[ "$back" = "$sequencer" ] || fail "editor back after the second click, got '$back'"

# Dragging the Attack knob 30 pixels right moves it from 0 by 30/75.
press_and_drag 40 22 10 20 30
attack=$(ask "param 0")
awk -v v="$attack" 'BEGIN { exit !(v > 0.38 && v < 0.42) }' || fail "Attack after a 30-pixel drag, got $attack"
ask "snapshot $artifacts/attack.png" >/dev/null

# A wheel notch over the knob moves it by one percent.
before=$(ask "param 0")
quick_click 40 22 4
after=$(ask "param 0")
awk -v a="$before" -v b="$after" 'BEGIN { exit !(b - a > 0.004 && b - a < 0.016) }' ||
  fail "a wheel notch over Attack took it from $before to $after"

# Quick clicks on one control of each kind, each leaving its mark in the picture.
expect_pixel 522 141 "210 210 224" "pattern 3 before its click"
quick_click 530 146 1
expect_pixel 522 141 "240 100 114" "pattern 3 after a quick click"
expect_pixel 173 160 "240 240 245" "step 12 before its click"
quick_click 173 121 1
expect_pixel 173 160 "64 78 192" "step 12 after a quick click near its top"
quick_click 508 178 1
expect_pixel 501 174 "250 170 214" "bank B after a quick click"
quick_click 252 222 1
expect_pixel 234 217 "152 252 247" "lane Pitch after a quick click"
quick_click 132 91 1
expect_pixel 99 86 "100 100 250" "Freeze after a quick click"
ask "snapshot $artifacts/quick-clicks.png" >/dev/null

# Closing and reopening the editor gives back every GDI object it made.
ask close >/dev/null
ask open >/dev/null
ask "idle 200" >/dev/null
before=$(ask gdi)
for _ in $(seq 10); do
  ask close >/dev/null
  ask open >/dev/null
  ask "idle 100" >/dev/null
done
after=$(ask gdi)
echo "GDI objects after the first reopen: $before, after ten more: $after"
[ "$before" -gt 0 ] || fail "no GDI count"
[ "$after" = "$before" ] || fail "GDI objects grew from $before to $after over ten reopenings"
reopened=$(ask "pixel 522 141")
[ "$reopened" = "240 100 114" ] || fail "the reopened editor shows the engine's pattern, got '$reopened'"

[ "$(ask quit)" = bye ] || fail "session end"
wait "$HOST_PID" 2>/dev/null || true
[ "$failures" -eq 0 ] && echo "editor session: all checks passed"
exit "$failures"
