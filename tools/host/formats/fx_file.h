// VST 2 preset (.fxp) and bank (.fxb) files: a 'CcnK' header with big-endian
// fields, then either a parameter list ('FxCk' programs, 'FxBk' banks) or one
// opaque chunk from the plug-in ('FPCh', 'FBCh').
//
// Reading trusts no field: every count and size is checked against the bytes
// that are there, the file's own size field is not relied on (writers disagree
// about it), and bytes after the content are ignored.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "host/vst2.h"

namespace tramvek {

constexpr std::size_t kFxNameSize = 28;

struct FxPreset {
    VstInt32 pluginId = 0;
    VstInt32 pluginVersion = 0;
    // Parameter count: the length of `parameters`, or what the plug-in
    // declared when the program is an opaque chunk.
    VstInt32 numParams = 0;
    std::string name;
    bool opaque = false;
    std::vector<float> parameters;
    std::vector<std::uint8_t> chunk;
};

struct FxBank {
    VstInt32 pluginId = 0;
    VstInt32 pluginVersion = 0;
    VstInt32 numPrograms = 0;
    // Format version 2 adds the current program; version 1 has none.
    VstInt32 formatVersion = 2;
    VstInt32 currentProgram = 0;
    bool opaque = false;
    std::vector<FxPreset> programs;
    std::vector<std::uint8_t> chunk;
};

// Throw HostError with the reason: truncated, not such a file, mislabelled.
FxPreset parsePresetFile(std::span<const std::uint8_t> bytes);
FxBank parseBankFile(std::span<const std::uint8_t> bytes);

std::vector<std::uint8_t> serializePreset(const FxPreset& preset);
std::vector<std::uint8_t> serializeBank(const FxBank& bank);

}  // namespace tramvek
