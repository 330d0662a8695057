// The names the LV2 world knows the plug-in by: shared by the plug-in and the
// generator of its descriptions, so the two never disagree.
#pragma once

#include <cstdint>

namespace tramvek::lv2 {

inline constexpr char kPluginUri[] = "urn:tramvek:slicer";
inline constexpr char kBinaryName[] = "tramvek.so";
inline constexpr char kPluginName[] = "tramvek";
// The editor: its own library, which reaches the plug-in through ports only.
inline constexpr char kUiUri[] = "urn:tramvek:slicer#ui";
inline constexpr char kUiBinaryName[] = "tramvek_ui.so";
// The saved state: the engine's bank chunk as one property, or (where the
// host makes files) the chunk without its audio and the audio file's path.
inline constexpr char kBankStateUri[] = "urn:tramvek:slicer#bank";
inline constexpr char kSettingsStateUri[] = "urn:tramvek:slicer#settings";
inline constexpr char kAudioStateUri[] = "urn:tramvek:slicer#recorded";
// The messages between the editor and the plug-in (lv2_messages.h).
inline constexpr char kCommandUri[] = "urn:tramvek:slicer#Command";
inline constexpr char kCommandKindUri[] = "urn:tramvek:slicer#kind";
inline constexpr char kCommandFirstUri[] = "urn:tramvek:slicer#a";
inline constexpr char kCommandSecondUri[] = "urn:tramvek:slicer#b";
inline constexpr char kCommandValueUri[] = "urn:tramvek:slicer#value";
inline constexpr char kViewRequestUri[] = "urn:tramvek:slicer#ViewRequest";
inline constexpr char kViewUri[] = "urn:tramvek:slicer#View";
inline constexpr char kViewBytesUri[] = "urn:tramvek:slicer#viewBytes";

// Port indices, in the order the description lists them.
enum Port : std::uint32_t {
    kPortInputLeft = 0,
    kPortInputRight = 1,
    kPortOutputLeft = 2,
    kPortOutputRight = 3,
    kPortFirstControl = 4,  // one per parameter, in the parameters' order
    kPortMidi = 12,
    kPortTime = 13,
    kPortCommands = 14,  // the editor's edits, as messages
    kPortNotify = 15,    // what the editor shows, as messages
    kPortProgram = 16,   // 1..16: the program to play, as a VST 2 host selects one
    kPortCount = 17,
};

}  // namespace tramvek::lv2
