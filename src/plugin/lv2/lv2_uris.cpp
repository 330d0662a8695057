#include "plugin/lv2/lv2_uris.h"

#include <lv2/atom/atom.h>
#include <lv2/midi/midi.h>
#include <lv2/time/time.h>

#include "plugin/lv2/lv2_identity.h"

namespace tramvek::lv2 {

Uris mapUris(const LV2_URID_Map& map) {
    const auto id = [&map](const char* uri) { return map.map(map.handle, uri); };
    Uris u;
    u.atomBlank = id(LV2_ATOM__Blank);
    u.atomObject = id(LV2_ATOM__Object);
    u.atomChunk = id(LV2_ATOM__Chunk);
    u.atomPath = id(LV2_ATOM__Path);
    u.atomInt = id(LV2_ATOM__Int);
    u.atomLong = id(LV2_ATOM__Long);
    u.atomFloat = id(LV2_ATOM__Float);
    u.atomDouble = id(LV2_ATOM__Double);
    u.midiEvent = id(LV2_MIDI__MidiEvent);
    u.timePosition = id(LV2_TIME__Position);
    u.timeBar = id(LV2_TIME__bar);
    u.timeBarBeat = id(LV2_TIME__barBeat);
    u.timeBeat = id(LV2_TIME__beat);
    u.timeBeatUnit = id(LV2_TIME__beatUnit);
    u.timeBeatsPerBar = id(LV2_TIME__beatsPerBar);
    u.timeBeatsPerMinute = id(LV2_TIME__beatsPerMinute);
    u.timeSpeed = id(LV2_TIME__speed);
    u.bankState = id(kBankStateUri);
    u.settingsState = id(kSettingsStateUri);
    u.audioState = id(kAudioStateUri);
    u.atomSequence = id(LV2_ATOM__Sequence);
    u.atomEventTransfer = id(LV2_ATOM__eventTransfer);
    u.command = id(kCommandUri);
    u.commandKind = id(kCommandKindUri);
    u.commandFirst = id(kCommandFirstUri);
    u.commandSecond = id(kCommandSecondUri);
    u.commandValue = id(kCommandValueUri);
    u.viewRequest = id(kViewRequestUri);
    u.view = id(kViewUri);
    u.viewBytes = id(kViewBytesUri);
    return u;
}

}  // namespace tramvek::lv2
