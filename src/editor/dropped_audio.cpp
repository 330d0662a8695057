#include "editor/dropped_audio.h"

#include "audio_file/resample.h"
#include "audio_file/wav_reader.h"
#include "editor/editor_host.h"

namespace tramvek {
namespace {

std::string fileName(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string refusal(AudioFileProblem problem, const std::string& name) {
    switch (problem) {
        case AudioFileProblem::kCannotRead:
            return "Cannot read " + name;
        case AudioFileProblem::kNotAudio:
            return "Not an audio file: " + name;
        case AudioFileProblem::kUnsupported:
            return "Not a WAV encoding the editor reads: " + name;
        default:
            return "Damaged or cut-short audio file: " + name;
    }
}

}  // namespace

std::string freezeDroppedFile(EditorHost& host, const std::string& path) {
    const EditorSnapshot& now = host.view().snapshot;
    const std::int32_t samples = now.patternSamples;
    const std::int32_t rate = now.sampleRate;
    const std::string name = fileName(path);
    if (samples <= 0 || rate <= 0) {
        return "Start the host's playback once before dropping " + name;
    }
    const AudioFileReading reading = readWavFile(path);
    if (!reading.ok()) {
        return refusal(reading.problem, name);
    }
    StereoAudio pattern = resampled(reading.audio, rate, static_cast<std::size_t>(samples));
    pattern.left.resize(static_cast<std::size_t>(samples));
    pattern.right.resize(static_cast<std::size_t>(samples));
    if (!host.freezeAudio(pattern.left.data(), pattern.right.data(), samples)) {
        return "Could not freeze " + name;
    }
    return {};
}

}  // namespace tramvek
