#include "cli/render_stream.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "cli/progress_bar.h"
#include "formats/audio_input.h"
#include "formats/demo_loop.h"
#include "formats/wav_codec.h"
#include "host_error.h"

namespace tramvek {
namespace {

constexpr double kDemoSampleRate = 44100.0;

StereoAudio loadInput(const RenderOptions& options) {
    if (rendersDemoLoop(options)) {
        return synthesizeDemoLoop(options.tempo, options.sampleRate.value_or(kDemoSampleRate));
    }
    StereoAudio input = readAudioFile(options.input);
    if (options.sampleRate && *options.sampleRate != input.sampleRate) {
        throw HostError(options.input + " is at " + std::to_string(static_cast<long>(input.sampleRate)) +
                        " Hz; the host does not resample, so leave out --sample-rate or give that rate");
    }
    return input;
}

std::vector<TimedMidiMessage> loadMidi(const std::string& path) {
    if (path.empty()) {
        return {};
    }
    std::vector<std::uint8_t> bytes = readWholeFile(path, "MIDI file");
    try {
        return parseMidiFile(bytes);
    } catch (const HostError& e) {
        throw HostError("MIDI file " + path + ": " + e.what());
    }
}

}  // namespace

void streamBlocks(const RenderJob& job, BlockBuffers& buffers,
                  const std::function<void(std::uint64_t position, std::size_t frames)>& process) {
    ProgressBar progress(job.totalFrames);
    const std::vector<int>& sizes = job.options.blockSizes;
    std::vector<std::uint8_t> encoded;
    std::size_t blockIndex = 0;
    for (std::uint64_t position = 0; position < job.totalFrames; ++blockIndex) {
        auto wanted = static_cast<std::uint64_t>(sizes[blockIndex % sizes.size()]);
        auto frames = static_cast<std::size_t>(std::min(wanted, job.totalFrames - position));
        buffers.prepare(job.input, static_cast<std::size_t>(position), frames);
        process(position, frames);
        encoded.clear();
        appendFloatStereoFrames(encoded, buffers.leftOutput(), buffers.rightOutput(), frames);
        job.output.write(encoded);
        position += frames;
        progress.update(position);
    }
}

void runRenderJob(const RenderOptions& options, const std::function<void(const RenderJob&)>& render) {
    validateRenderOptions(options);
    StereoAudio input = loadInput(options);
    const double sampleRate = input.sampleRate;
    auto tailFrames = static_cast<std::uint64_t>(std::llround(options.tailSeconds * sampleRate));
    std::uint64_t totalFrames = input.frames() + tailFrames;
    int maxBlock = *std::max_element(options.blockSizes.begin(), options.blockSizes.end());

    // Opened first, so that an unwritable output fails before a long render.
    PendingFile output(options.output);
    output.write(floatStereoWavHeader(static_cast<std::uint32_t>(sampleRate), totalFrames));
    render(RenderJob{options, input, sampleRate, totalFrames, maxBlock, loadMidi(options.midi), output});
    output.commit();
}

}  // namespace tramvek
