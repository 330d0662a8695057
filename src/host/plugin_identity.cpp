#include "host/plugin_identity.h"

#include <cstring>
#include <string_view>

namespace tramvek {

namespace {

constexpr std::string_view kClaimedCapabilities[] = {"receiveVstTimeInfo", "receiveVstEvents",
                                                     "receiveVstMidiEvent"};

static_assert(sizeof kVendorText <= kVstMaxVendorStrLen);
static_assert(sizeof kProductText <= kVstMaxProductStrLen);

}  // namespace

bool writeVendorText(char* text) {
    std::memcpy(text, kVendorText, sizeof kVendorText);
    return true;
}

bool writeProductText(char* text) {
    std::memcpy(text, kProductText, sizeof kProductText);
    return true;
}

VstInt32 capabilityAnswer(const char* text) {
    if (text == nullptr) {
        return -1;
    }
    for (std::string_view capability : kClaimedCapabilities) {
        if (capability == text) {
            return 1;
        }
    }
    return -1;
}

}  // namespace tramvek
