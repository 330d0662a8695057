#!/usr/bin/env bash
# The LV2 editor against the VST 2 one on the tests' X display, both through
# the same host: the same picture after the same demo (and not the picture of
# an editor that heard nothing from its plug-in); the same picture after the
# same knob drag and quick click on a step; and the drag reaches the host as
# one touch gesture of writes to the knob's control port.
#
# Usage: lv2_editor.sh HOST VST2_LIBRARY LV2_BUNDLE
set -euo pipefail

host=$1
vst2=$2
lv2=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
status=0
fail() {
  echo "lv2-editor: $*"
  status=1
}

"$host" snapshot "$vst2" -o "$scratch/vst2.png" --render-first 4
"$host" snapshot "$lv2" -o "$scratch/lv2.png" --render-first 4
"$host" snapshot "$lv2" -o "$scratch/lv2-fresh.png"
if cmp -s "$scratch/vst2.png" "$scratch/lv2.png" && ! cmp -s "$scratch/lv2.png" "$scratch/lv2-fresh.png"; then
  echo "lv2-editor: after the demo the LV2 editor shows the VST 2 editor's pixels"
else
  fail "after the demo the LV2 editor's picture differs from the VST 2 editor's"
fi

# The attack knob (window 22,22) dragged 30 pixels right, then a step cell
# of the Trigger lane clicked. Each step waits for a busy machine's next idle.
gesture() {
  local x=$1 y=$2
  xdotool mousemove $((x + 22)) $((y + 22)) mousedown 1 sleep 0.5 mousemove $((x + 37)) $((y + 22)) sleep 0.5 \
    mousemove $((x + 52)) $((y + 22)) sleep 0.5 mouseup 1 sleep 0.3 mousemove $((x + 173)) $((y + 121)) click 1
}

# (bash forgets a coprocess's descriptors and id when it ends: keep copies)
coproc LV2_EDITOR { "$host" snapshot "$lv2" -o "$scratch/lv2-edited.png" --hold 4500; }
pid=$LV2_EDITOR_PID
exec {from}<&"${LV2_EDITOR[0]}"
read -r word x y <&"$from"
[ "$word" = ready ] || fail "the LV2 snapshot did not get ready: $word"
gesture "$x" "$y"
cat <&"$from" >"$scratch/heard"
wait "$pid"
exec {from}<&-

coproc VST2_EDITOR { "$host" editor-session "$vst2"; }
pid=$VST2_EDITOR_PID
exec {from}<&"${VST2_EDITOR[0]}" {to}>&"${VST2_EDITOR[1]}"
read -r word <&"$from"
echo origin >&"$to"
read -r x y <&"$from"
echo "idle 4500" >&"$to"
gesture "$x" "$y"
printf 'snapshot %s\nquit\n' "$scratch/vst2-edited.png" >&"$to"
cat <&"$from" >/dev/null
wait "$pid"
exec {from}<&- {to}>&-
if cmp -s "$scratch/vst2-edited.png" "$scratch/lv2-edited.png" && ! cmp -s "$scratch/lv2-edited.png" "$scratch/lv2-fresh.png"; then
  echo "lv2-editor: after a knob drag and a click on a step both editors show the same pixels"
else
  fail "after a knob drag and a click on a step the LV2 editor's picture differs from the VST 2 editor's"
fi

# Attack is control port 4: touched, written to (only it), released.
writes=$(grep -c '^write 4 ' "$scratch/heard" || true)
if [ "$(head -n1 "$scratch/heard")" = "touch 4 begin" ] && [ "$(tail -n1 "$scratch/heard")" = "touch 4 end" ] &&
  [ "$writes" -ge 1 ] && [ "$(wc -l <"$scratch/heard")" -eq $((writes + 2)) ]; then
  echo "lv2-editor: the drag reached the host as one gesture of $writes writes to port 4, the last $(grep '^write' "$scratch/heard" | tail -n1 | cut -d' ' -f3)"
else
  fail "the drag did not reach the host as one gesture on port 4: $(tr '\n' ';' <"$scratch/heard")"
fi
exit $status
