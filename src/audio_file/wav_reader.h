// Reading WAV files: integer PCM (8, 16, 24, 32 bits) and IEEE float (32, 64
// bits), plain or extensible, any channel count and sample rate, as stereo.
// Standard library only: the plug-in reads dropped files with it and the
// command-line host every WAV file it takes.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "audio_file/stereo_audio.h"

namespace tramvek {

// What a data chunk that claims more bytes than the file has means: streamed
// recordings are read as far as they go; a file that must be whole is refused.
enum class WavEnd { kReadWhatIsThere, kMustBeWhole };

// Why a file gave no audio.
enum class AudioFileProblem {
    kNone,
    kCannotRead,   // the file could not be opened or read
    kNotAudio,     // not a WAV file at all
    kUnsupported,  // a WAV encoding this reader does not decode
    kDamaged,      // a WAV file cut short or with contradicting sizes
};

struct AudioFileReading {
    StereoAudio audio;
    AudioFileProblem problem = AudioFileProblem::kNone;
    // One line, empty when the audio was read.
    std::string reason;

    bool ok() const { return problem == AudioFileProblem::kNone; }
};

AudioFileReading readWav(std::span<const std::uint8_t> bytes, WavEnd end = WavEnd::kReadWhatIsThere);

// The file at `path`: at most its first kWavFileReadLimit bytes are read, and
// a file longer than that is read as far as those go; a shorter one must be whole.
AudioFileReading readWavFile(const std::string& path);

// Far more than the longest pattern needs of any common WAV encoding.
inline constexpr std::size_t kWavFileReadLimit = 64u << 20;

}  // namespace tramvek
