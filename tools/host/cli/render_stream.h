// What every render shares, whatever the plug-in format: the input, the MIDI
// file, the output file, and the blocks in order through a progress bar.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "audio_file/stereo_audio.h"
#include "cli/render_options.h"
#include "formats/file_io.h"
#include "formats/midi_file.h"
#include "hosting/block_buffers.h"

namespace tramvek {

struct RenderJob {
    const RenderOptions& options;
    const StereoAudio& input;
    double sampleRate;
    std::uint64_t totalFrames;
    int maxBlock;
    std::vector<TimedMidiMessage> midi;
    PendingFile& output;
};

// `process(position, frames)` turns the prepared inputs of the block at
// `position` into its outputs; the outputs go to the file.
void streamBlocks(const RenderJob& job, BlockBuffers& buffers,
                  const std::function<void(std::uint64_t position, std::size_t frames)>& process);

// Builds the job from the options (the input and the MIDI file read, the
// output opened with its header) and passes it to `render`; the output
// appears only when `render` returns.
void runRenderJob(const RenderOptions& options, const std::function<void(const RenderJob&)>& render);

}  // namespace tramvek
