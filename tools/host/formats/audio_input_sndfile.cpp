// Linux: everything libsndfile reads.
#include <sndfile.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "formats/audio_input.h"
#include "host_error.h"

namespace tramvek {

StereoAudio readAudioFile(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        throw HostError("input not found: " + path);
    }
    SF_INFO info{};
    std::unique_ptr<SNDFILE, int (*)(SNDFILE*)> file(sf_open(path.c_str(), SFM_READ, &info), sf_close);
    if (!file) {
        throw HostError("cannot read input " + path + ": " + sf_strerror(nullptr));
    }
    if (info.channels < 1 || info.samplerate < 1) {
        throw HostError("cannot read input " + path + ": no audio channels");
    }
    std::vector<float> samples(static_cast<std::size_t>(info.frames) *
                               static_cast<std::size_t>(info.channels));
    sf_count_t read = sf_readf_float(file.get(), samples.data(), info.frames);
    if (read < 0) {
        throw HostError("cannot read input " + path + ": " + sf_strerror(file.get()));
    }
    return stereoFromInterleaved(samples.data(), static_cast<std::size_t>(read), info.channels,
                                 info.samplerate);
}

}  // namespace tramvek
