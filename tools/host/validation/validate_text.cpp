#include "validation/validate_text.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tramvek {
namespace {

constexpr std::size_t kBufferSize = 1024;

// Two passes with different fill bytes: a byte counts as written when either
// pass sees it changed, so a plug-in writing the fill value is still seen.
constexpr std::array<unsigned char, 2> kFills = {0xA5, 0x5A};

std::size_t writtenExtent(const std::array<char, kBufferSize>& buffer, unsigned char fill) {
    for (std::size_t i = kBufferSize; i > 0; --i) {
        if (static_cast<unsigned char>(buffer[i - 1]) != fill) {
            return i;
        }
    }
    return 0;
}

}  // namespace

GuardedText queryGuardedText(PluginInstance& plugin, VstInt32 opcode, VstInt32 index, VstIntPtr value) {
    GuardedText result;
    for (unsigned char fill : kFills) {
        std::array<char, kBufferSize> buffer;
        buffer.fill(static_cast<char>(fill));
        result.answer = plugin.dispatch(opcode, index, value, buffer.data());
        std::size_t extent = writtenExtent(buffer, fill);
        if (extent >= result.bytesWritten) {
            result.bytesWritten = extent;
            const char* end = std::find(buffer.data(), buffer.data() + extent, '\0');
            result.terminated = extent == 0 || end != buffer.data() + extent;
            result.text.assign(static_cast<const char*>(buffer.data()), end);
        }
    }
    return result;
}

std::string textOverrun(const GuardedText& text, std::size_t size) {
    if (!text.terminated) {
        return "not terminated (" + std::to_string(text.bytesWritten) + " bytes written, no zero among them)";
    }
    if (text.bytesWritten > size) {
        return "wrote " + std::to_string(text.bytesWritten) + " bytes into a " + std::to_string(size) +
               "-byte buffer";
    }
    return "";
}

}  // namespace tramvek
