#include "validation/validate_context.h"

#include <algorithm>
#include <cmath>

namespace tramvek {

int ValidationContext::scaled(int atFull) const {
    return std::max(1, static_cast<int>(std::lround(atFull * options_.strictness / 10.0)));
}

std::mt19937_64 ValidationContext::random(std::string_view checkName) const {
    // FNV-1a: the same on every platform, unlike std::hash.
    std::uint64_t hash = 14695981039346656037ull;
    for (char c : checkName) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    return std::mt19937_64(options_.seed ^ hash);
}

OpenPlugin::OpenPlugin(const std::string& path, double sampleRate, int maxBlock) : plugin_(path, host_) {
    host_.sampleRate = static_cast<float>(sampleRate);
    host_.blockSize = maxBlock;
    plugin_.dispatch(effOpen);
    plugin_.dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    plugin_.dispatch(effSetBlockSize, 0, maxBlock);
    plugin_.resume();
}

void OpenPlugin::reconfigure(double sampleRate, int maxBlock) {
    plugin_.suspend();
    host_.sampleRate = static_cast<float>(sampleRate);
    host_.blockSize = maxBlock;
    plugin_.dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    plugin_.dispatch(effSetBlockSize, 0, maxBlock);
    plugin_.resume();
}

std::unique_ptr<OpenPlugin> openPlugin(const ValidationContext& context, double sampleRate, int maxBlock) {
    return std::make_unique<OpenPlugin>(context.plugin(), sampleRate, maxBlock);
}

}  // namespace tramvek
