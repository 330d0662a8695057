// The names the LV2 world knows the plug-in by: shared by the plug-in and the
// generator of its descriptions, so the two never disagree.
#pragma once

#include <cstdint>

namespace tramvek::lv2 {

inline constexpr char kPluginUri[] = "urn:tramvek:slicer";
inline constexpr char kBinaryName[] = "tramvek.so";
inline constexpr char kPluginName[] = "tramvek";
// The saved state: the engine's bank chunk as one property, or (where the
// host makes files) the chunk without its audio and the audio file's path.
inline constexpr char kBankStateUri[] = "urn:tramvek:slicer#bank";
inline constexpr char kSettingsStateUri[] = "urn:tramvek:slicer#settings";
inline constexpr char kAudioStateUri[] = "urn:tramvek:slicer#recorded";

// Port indices, in the order the description lists them.
enum Port : std::uint32_t {
    kPortInputLeft = 0,
    kPortInputRight = 1,
    kPortOutputLeft = 2,
    kPortOutputRight = 3,
    kPortFirstControl = 4,  // one per parameter, in the parameters' order
    kPortMidi = 12,
    kPortTime = 13,
    kPortCount = 14,
};

}  // namespace tramvek::lv2
