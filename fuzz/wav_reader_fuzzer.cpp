// Feeds arbitrary bytes to the WAV reader (the plug-in's drops and the host's
// files), both ways it reads: what it accepts must fit the bytes, a refusal
// is one line, and a file that must be whole reads the same as when read as
// far as it goes.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "audio_file/wav_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using tramvek::WavEnd;
    const std::span<const std::uint8_t> bytes(data, size);
    const tramvek::AudioFileReading lenient = tramvek::readWav(bytes, WavEnd::kReadWhatIsThere);
    const tramvek::AudioFileReading whole = tramvek::readWav(bytes, WavEnd::kMustBeWhole);
    for (const tramvek::AudioFileReading* reading : {&lenient, &whole}) {
        const bool consistent = reading->ok() ? reading->reason.empty() && reading->audio.sampleRate > 0.0
                                              : !reading->reason.empty() && reading->audio.frames() == 0 &&
                                                    reading->reason.find('\n') == std::string::npos;
        if (!consistent || reading->audio.left.size() != reading->audio.right.size() ||
            reading->audio.frames() > size) {
            std::abort();
        }
    }
    if (whole.ok() && (!lenient.ok() || whole.audio.frames() != lenient.audio.frames() ||
                       whole.audio.sampleRate != lenient.audio.sampleRate)) {
        std::abort();
    }
    return 0;
}
