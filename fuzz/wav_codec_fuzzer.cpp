// Feeds arbitrary bytes to the host's WAV reader, both ways it reads: what it
// accepts must fit the bytes, and a file that must be whole reads the same as
// when read as far as it goes.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "tools/host/formats/wav_codec.h"
#include "tools/host/host_error.h"

namespace {

tramvek::StereoAudio read(std::span<const std::uint8_t> bytes, tramvek::WavEnd end, bool& ok) {
    try {
        ok = true;
        return tramvek::decodeWav(bytes, end);
    } catch (const tramvek::HostError&) {
        ok = false;
        return {};
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::span<const std::uint8_t> bytes(data, size);
    bool lenientOk = false;
    bool wholeOk = false;
    tramvek::StereoAudio lenient = read(bytes, tramvek::WavEnd::kReadWhatIsThere, lenientOk);
    tramvek::StereoAudio whole = read(bytes, tramvek::WavEnd::kMustBeWhole, wholeOk);
    if (lenient.left.size() != lenient.right.size() || lenient.frames() > size || (wholeOk && !lenientOk)) {
        std::abort();
    }
    if (wholeOk && (whole.frames() != lenient.frames() || whole.sampleRate != lenient.sampleRate)) {
        std::abort();
    }
    return 0;
}
