// The channel buffers of one audio block, laid out as the plug-in's process
// entries take them: one pointer per input and per output the plug-in has.
#pragma once

#include <cstddef>
#include <vector>

#include "audio_file/stereo_audio.h"

namespace tramvek {

class BlockBuffers {
  public:
    BlockBuffers(int inputs, int outputs, std::size_t maxFrames);

    // Inputs 0 and 1 get the left and right source from `start` on, silence
    // past its end; further inputs stay silent. Outputs are cleared, because
    // some plug-ins add to them.
    void prepare(const StereoAudio& source, std::size_t start, std::size_t frames);

    float** inputs() { return inputPointers_.data(); }
    float** outputs() { return outputPointers_.data(); }

    // Outputs 0 and 1 as left and right; a single output feeds both.
    const float* leftOutput() const { return outputs_[0].data(); }
    const float* rightOutput() const { return outputs_[outputs_.size() > 1 ? 1 : 0].data(); }

  private:
    std::vector<std::vector<float>> inputs_;
    std::vector<std::vector<float>> outputs_;
    std::vector<float*> inputPointers_;
    std::vector<float*> outputPointers_;
};

}  // namespace tramvek
