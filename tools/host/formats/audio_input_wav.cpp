// Windows: WAV files through the host's own codec.
#include "formats/audio_input.h"
#include "formats/file_io.h"
#include "formats/wav_codec.h"
#include "host_error.h"

namespace tramvek {

StereoAudio readAudioFile(const std::string& path) {
    std::vector<std::uint8_t> bytes = readWholeFile(path, "input");
    try {
        return decodeWav(bytes);
    } catch (const HostError& e) {
        throw HostError("cannot read input " + path + ": " + e.what());
    }
}

}  // namespace tramvek
