// Text answers read through guard bytes: the host hands over a buffer whose
// bytes carry a known pattern and sees exactly how far the plug-in wrote.
#pragma once

#include <cstddef>
#include <string>

#include "hosting/plugin_instance.h"

namespace tramvek {

// The sizes the VST 2 interface gives these texts, terminator included.
// Parameter texts are nominally 8 characters; plug-ins have long written more,
// so past that they are noted, and only writes beyond the interface's largest
// text size (64 bytes) count as an overrun.
constexpr std::size_t kEffectNameSize = kVstMaxEffectNameLen;
constexpr std::size_t kVendorTextSize = kVstMaxVendorStrLen;
constexpr std::size_t kProductTextSize = kVstMaxProductStrLen;
constexpr std::size_t kProgramNameSize = kVstMaxProgNameLen;
constexpr std::size_t kParamTextNominal = kVstMaxParamStrLen + 1;
constexpr std::size_t kParamTextSize = kVstMaxVendorStrLen;

struct GuardedText {
    std::string text;              // up to the first terminator
    std::size_t bytesWritten = 0;  // one past the last byte the plug-in changed
    bool terminated = false;       // a terminator within the bytes written (or nothing written)
    VstIntPtr answer = 0;
};

// Sends `opcode` with a buffer `size` bytes long followed by guard bytes.
GuardedText queryGuardedText(PluginInstance& plugin, VstInt32 opcode, VstInt32 index = 0,
                             VstIntPtr value = 0);

// Empty when the text fits `size` bytes, else the fault in words.
std::string textOverrun(const GuardedText& text, std::size_t size);

}  // namespace tramvek
