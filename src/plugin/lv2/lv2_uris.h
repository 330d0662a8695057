// The URIs the plug-in reads and writes, mapped once at instantiation.
#pragma once

#include <lv2/urid/urid.h>

namespace tramvek::lv2 {

struct Uris {
    LV2_URID atomBlank = 0;
    LV2_URID atomObject = 0;
    LV2_URID atomChunk = 0;
    LV2_URID atomPath = 0;
    LV2_URID atomInt = 0;
    LV2_URID atomLong = 0;
    LV2_URID atomFloat = 0;
    LV2_URID atomDouble = 0;
    LV2_URID midiEvent = 0;
    LV2_URID timePosition = 0;
    LV2_URID timeBar = 0;
    LV2_URID timeBarBeat = 0;
    LV2_URID timeBeat = 0;
    LV2_URID timeBeatUnit = 0;
    LV2_URID timeBeatsPerBar = 0;
    LV2_URID timeBeatsPerMinute = 0;
    LV2_URID timeSpeed = 0;
    LV2_URID bankState = 0;
    LV2_URID settingsState = 0;
    LV2_URID audioState = 0;
    LV2_URID atomSequence = 0;
    LV2_URID atomEventTransfer = 0;
    LV2_URID command = 0;
    LV2_URID commandKind = 0;
    LV2_URID commandFirst = 0;
    LV2_URID commandSecond = 0;
    LV2_URID commandValue = 0;
    LV2_URID viewRequest = 0;
    LV2_URID view = 0;
    LV2_URID viewBytes = 0;
};

Uris mapUris(const LV2_URID_Map& map);

}  // namespace tramvek::lv2
