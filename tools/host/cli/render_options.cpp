#include "cli/render_options.h"

#include <cmath>

#include "host_error.h"

namespace tramvek {
namespace {

constexpr int kMaxBlockSize = 1 << 16;
constexpr double kMaxSampleRate = 1536000.0;
constexpr double kMaxTempo = 10000.0;
constexpr double kMaxTailSeconds = 3600.0;

}  // namespace

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
}

bool rendersDemoLoop(const RenderOptions& options) {
    return options.input.empty() || options.input == "demo";
}

}  // namespace tramvek
