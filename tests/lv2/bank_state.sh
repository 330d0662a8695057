# Sourced: LV2 states made from VST 2 bank files, for the tests that compare
# the two formats.

# bank_state BANK_FILE STATE_DIR [LABEL] writes the bank as an LV2 state that
# holds it whole as one property (as hosts without files save it), with a
# manifest, so that STATE_DIR named *.lv2 on LV2_PATH is a preset too.
bank_state() {
  local bank=$1 state=$2 label=${3:-$(basename "$2")}
  local chunk=160 # the bank file's header before its chunk
  local prefixes='@prefix lv2: <http://lv2plug.in/ns/lv2core#> .
@prefix pset: <http://lv2plug.in/ns/ext/presets#> .
@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .
@prefix state: <http://lv2plug.in/ns/ext/state#> .
@prefix xsd: <http://www.w3.org/2001/XMLSchema#> .'
  mkdir -p "$state"
  printf '%s\n<state.ttl> a pset:Preset ; lv2:appliesTo <urn:tramvek:slicer> ; rdfs:seeAlso <state.ttl> .\n' \
    "$prefixes" >"$state/manifest.ttl"
  {
    printf '%s\n<> a pset:Preset ; lv2:appliesTo <urn:tramvek:slicer> ; rdfs:label "%s" ;\n' "$prefixes" "$label"
    printf '  state:state [ <urn:tramvek:slicer#bank> "'
    tail -c +$((chunk + 1)) "$bank" | base64 -w0
    printf '"^^xsd:base64Binary ] .\n'
  } >"$state/state.ttl"
}

# midi_state HOST VST2_LIBRARY BANK_FILE STATE_DIR makes a bank where MIDI
# matters (note-to-slice mode on, the default notes 48..79 starting the
# slices; controller 7 learned onto the cutoff) from the VST 2 library's
# defaults, and the same bank as an LV2 state directory.
midi_state() {
  local host=$1 vst2=$2 bank=$3 state=$4
  local chunk=160
  "$host" state "$vst2" --save-bank "$bank" >/dev/null
  local tag
  tag=$(grep -obUa TVX1 "$bank" | head -1 | cut -d: -f1)
  printf '\x01' | dd of="$bank" bs=1 seek=$((tag + 20)) conv=notrunc status=none              # note-to-slice mode
  printf '\x07' | dd of="$bank" bs=1 seek=$((chunk + 73760 + 4 * 2)) conv=notrunc status=none # the cutoff's controller
  bank_state "$bank" "$state"
}
