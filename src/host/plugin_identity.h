// How the plug-in describes itself to the host: vendor and product texts, its
// unique identifier and the capabilities it claims. SlicerPlugin's overrides of
// getVendorString, getProductString and canDo answer through these.
#pragma once

#include "host/vst2.h"

namespace tramvek {

inline constexpr char kVendorText[] = "Orvando @ Wobblefactorium";
inline constexpr char kProductText[] = "tramvek v1.0";
inline constexpr VstInt32 kSlicerUniqueId = fourCharCode('Q', 'X', 'T', 'V');

// Write the texts into a host buffer of kVstMaxVendorStrLen / kVstMaxProductStrLen
// bytes; both answer true.
bool writeVendorText(char* text);
bool writeProductText(char* text);

// 1 for "receiveVstTimeInfo", "receiveVstEvents" and "receiveVstMidiEvent"
// (exact comparison), -1 for every other text, null included; never 0.
VstInt32 capabilityAnswer(const char* text);

}  // namespace tramvek
