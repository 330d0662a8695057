#include "hosting/block_buffers.h"

#include <algorithm>

namespace tramvek {
namespace {

void allocate(std::vector<std::vector<float>>& channels, std::vector<float*>& pointers, int count,
              std::size_t maxFrames) {
    channels.assign(static_cast<std::size_t>(std::max(count, 0)), std::vector<float>(maxFrames, 0.0f));
    for (std::vector<float>& channel : channels) {
        pointers.push_back(channel.data());
    }
    // Never hand out an empty pointer array.
    pointers.push_back(nullptr);
}

void copyOrSilence(const std::vector<float>& source, std::size_t start, std::size_t frames,
                   float* destination) {
    std::size_t available = start < source.size() ? std::min(frames, source.size() - start) : 0;
    std::copy_n(source.begin() + static_cast<std::ptrdiff_t>(start < source.size() ? start : 0), available,
                destination);
    std::fill(destination + available, destination + frames, 0.0f);
}

}  // namespace

BlockBuffers::BlockBuffers(int inputs, int outputs, std::size_t maxFrames) {
    allocate(inputs_, inputPointers_, inputs, maxFrames);
    allocate(outputs_, outputPointers_, outputs, maxFrames);
}

void BlockBuffers::prepare(const StereoAudio& source, std::size_t start, std::size_t frames) {
    if (!inputs_.empty()) {
        copyOrSilence(source.left, start, frames, inputs_[0].data());
    }
    if (inputs_.size() > 1) {
        copyOrSilence(source.right, start, frames, inputs_[1].data());
    }
    for (std::size_t i = 2; i < inputs_.size(); ++i) {
        std::fill_n(inputs_[i].begin(), frames, 0.0f);
    }
    for (std::vector<float>& output : outputs_) {
        std::fill_n(output.begin(), frames, 0.0f);
    }
}

}  // namespace tramvek
