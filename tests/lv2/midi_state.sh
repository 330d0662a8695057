# Sourced: midi_state HOST VST2_LIBRARY BANK_FILE STATE_DIR makes a bank where
# MIDI matters (note-to-slice mode on, the default notes 48..79 starting the
# slices; controller 7 learned onto the cutoff) from the VST 2 library's
# defaults, and the same bank as an LV2 state directory holding it whole as
# one property (as hosts without files save it).
midi_state() {
  local host=$1 vst2=$2 bank=$3 state=$4
  local chunk=160 # the bank file's header before its chunk
  "$host" state "$vst2" --save-bank "$bank" >/dev/null
  local tag
  tag=$(grep -obUa TVX1 "$bank" | head -1 | cut -d: -f1)
  printf '\x01' | dd of="$bank" bs=1 seek=$((tag + 20)) conv=notrunc status=none              # note-to-slice mode
  printf '\x07' | dd of="$bank" bs=1 seek=$((chunk + 73760 + 4 * 2)) conv=notrunc status=none # the cutoff's controller
  mkdir -p "$state"
  {
    printf '@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n'
    printf '@prefix state: <http://lv2plug.in/ns/ext/state#> .\n@prefix xsd: <http://www.w3.org/2001/XMLSchema#> .\n'
    printf '<> a pset:Preset ; lv2:appliesTo <urn:tramvek:slicer> ;\n  state:state [ <urn:tramvek:slicer#bank> "'
    tail -c +$((chunk + 1)) "$bank" | base64 -w0
    printf '"^^xsd:base64Binary ] .\n'
  } >"$state/state.ttl"
}
