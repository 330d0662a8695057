#include "render_options.h"

#include <cmath>
#include <cstdlib>

#include "host_error.h"

namespace tramvek {
namespace {

constexpr int kMaxBlockSize = 1 << 16;
constexpr double kMaxSampleRate = 1536000.0;
constexpr double kMaxTempo = 10000.0;
constexpr double kMaxTailSeconds = 3600.0;

bool parseWhole(const std::string& text, long& out) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    out = std::strtol(text.c_str(), &end, 10);
    return *end == '\0';
}

bool parseReal(const std::string& text, double& out) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    out = std::strtod(text.c_str(), &end);
    return *end == '\0' && std::isfinite(out);
}

}  // namespace

ParameterSetting parseParameterSetting(const std::string& text) {
    std::size_t equals = text.find('=');
    long index = 0;
    double value = 0.0;
    if (equals == std::string::npos || !parseWhole(text.substr(0, equals), index) ||
        !parseReal(text.substr(equals + 1), value)) {
        throw HostError("bad --param '" + text + "': expected INDEX=VALUE, e.g. 5=0.25");
    }
    if (index < 0 || index > 0x7FFFFFFF) {
        throw HostError("bad --param '" + text + "': the index must be 0 or more");
    }
    if (value < 0.0 || value > 1.0) {
        throw HostError("bad --param '" + text + "': parameter values lie in 0..1");
    }
    return {static_cast<VstInt32>(index), static_cast<float>(value)};
}

void validateRenderOptions(const RenderOptions& options) {
    if (!std::isfinite(options.tempo) || options.tempo <= 0.0 || options.tempo > kMaxTempo) {
        throw HostError("--tempo must lie above 0 and at most 10000 BPM");
    }
    if (options.sampleRate &&
        (!std::isfinite(*options.sampleRate) || *options.sampleRate < 1.0 ||
         *options.sampleRate > kMaxSampleRate || *options.sampleRate != std::floor(*options.sampleRate))) {
        throw HostError("--sample-rate must be a whole number of Hz from 1 to 1536000");
    }
    if (options.blockSizes.empty()) {
        throw HostError("--block needs at least one size");
    }
    for (int size : options.blockSizes) {
        if (size < 1 || size > kMaxBlockSize) {
            throw HostError("--block sizes must lie in 1..65536");
        }
    }
    if (!std::isfinite(options.ppqStart)) {
        throw HostError("--ppq-start must be a finite number");
    }
    if (!std::isfinite(options.tailSeconds) || options.tailSeconds < 0.0 ||
        options.tailSeconds > kMaxTailSeconds) {
        throw HostError("--tail must lie in 0..3600 seconds");
    }
    if (options.program && *options.program < 0) {
        throw HostError("--program must be 0 or more");
    }
}

bool rendersDemoLoop(const RenderOptions& options) {
    return options.input.empty() || options.input == "demo";
}

}  // namespace tramvek
