// Checks a live host's recording of the slicer against the host's transport:
// channel 0 is a transport-following metronome (a click where the transport's
// frame is a whole beat), channels 1 and 2 the slicer's output. Every slice
// that starts out of silence must start a whole number of steps from a click
// of its stretch, give or take a few samples, and slices must sound in each
// stretch the transport rolled (clicks more than a beat apart part them).
// Prints each misplaced slice and a summary.
//
// Given notes instead (channel 0 a synthesiser's sound of the notes that start
// the slices), BEAT_FRAMES = STEP_FRAMES = the notes' loop: each slice must
// start at a note.
//
// Usage: grid_check RECORDING BEAT_FRAMES STEP_FRAMES TOLERANCE MIN_SLICES MIN_STRETCHES
#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr float kSilence = 1e-5f;  // -100 dBFS
// A slice of the sine peaks near -18 dBFS; a click of a few samples at -47 dBFS
// (seen at a block start in the first pass now and then) is no slice.
constexpr float kSounding = 1e-2f;  // -40 dBFS
constexpr long kQuietBefore = 64;   // silent frames before an onset

std::vector<float> readFrames(const char* path, int& channels) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path, SFM_READ, &info);
    if (file == nullptr) {
        std::fprintf(stderr, "grid_check: cannot read %s: %s\n", path, sf_strerror(nullptr));
        return {};
    }
    channels = info.channels;
    std::vector<float> frames(static_cast<size_t>(info.frames) * static_cast<size_t>(info.channels));
    frames.resize(static_cast<size_t>(sf_readf_float(file, frames.data(), info.frames)) *
                  static_cast<size_t>(info.channels));
    sf_close(file);
    return frames;
}

// Where a signal rises above `sounding` after at least kQuietBefore frames below kSilence.
std::vector<long> onsets(const std::vector<float>& frames, int channels, int first, int count,
                         float sounding) {
    std::vector<long> found;
    long quiet = 0;
    const long length = static_cast<long>(frames.size()) / channels;
    for (long i = 0; i < length; ++i) {
        float peak = 0.0f;
        for (int c = first; c < first + count; ++c) {
            peak = std::fmax(peak, std::fabs(frames[static_cast<size_t>(i * channels + c)]));
        }
        if (peak >= sounding && quiet >= kQuietBefore) {
            found.push_back(i);
        }
        quiet = peak < kSilence ? quiet + 1 : 0;
    }
    return found;
}

// How far `slice` is from the step grid that has a step start at `click`.
long offGrid(long click, long slice, long step) {
    const long since = slice - click;
    return std::labs(since - step * std::lround(static_cast<double>(since) / static_cast<double>(step)));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 7) {
        std::fprintf(
            stderr,
            "usage: grid_check RECORDING BEAT_FRAMES STEP_FRAMES TOLERANCE MIN_SLICES MIN_STRETCHES\n");
        return 2;
    }
    int channels = 0;
    const std::vector<float> frames = readFrames(argv[1], channels);
    const long beat = std::atol(argv[2]);
    const long step = std::atol(argv[3]);
    const long tolerance = std::atol(argv[4]);
    const long minSlices = std::atol(argv[5]);
    const auto minStretches = static_cast<std::size_t>(std::atol(argv[6]));
    if (frames.empty() || channels != 3 || step <= 2 * tolerance || beat < step) {
        std::fprintf(stderr, "grid_check: need a 3-channel recording and BEAT >= STEP > 2 * TOLERANCE\n");
        return 2;
    }
    // Any sound of the click counts: it starts at zero.
    const std::vector<long> clicks = onsets(frames, channels, 0, 1, kSilence);
    const std::vector<long> slices = onsets(frames, channels, 1, 2, kSounding);
    // Clicks more than a beat apart part the rolling stretches.
    std::vector<std::size_t> stretchOf(clicks.size(), 0);
    for (std::size_t i = 1; i < clicks.size(); ++i) {
        stretchOf[i] = stretchOf[i - 1] + (clicks[i] - clicks[i - 1] > beat + tolerance ? 1 : 0);
    }
    std::vector<long> perStretch(clicks.empty() ? 1 : stretchOf.back() + 1, 0);
    long misplaced = 0;
    std::size_t next = 0;  // the first click after the slice
    for (const long slice : slices) {
        while (next < clicks.size() && clicks[next] <= slice) {
            ++next;
        }
        // Within a stretch every click gives the same grid; between two
        // stretches the slice belongs to the one whose grid it fits.
        std::size_t nearest = next > 0 ? next - 1 : next;
        if (next > 0 && next < clicks.size() &&
            offGrid(clicks[next], slice, step) < offGrid(clicks[next - 1], slice, step)) {
            nearest = next;
        }
        const long since = clicks.empty() ? beat + step : slice - clicks[nearest];
        const long off = clicks.empty() ? step : offGrid(clicks[nearest], slice, step);
        if (std::labs(since) > beat + tolerance || off > tolerance) {
            std::printf("slice at frame %ld: %ld frames from its click, %ld off the step grid\n", slice,
                        since, off);
            ++misplaced;
        } else {
            ++perStretch[stretchOf[nearest]];
        }
    }
    std::printf("grid_check: %zu clicks, %zu slices, %ld misplaced; slices on the grid per rolling stretch:",
                clicks.size(), slices.size(), misplaced);
    bool enough = perStretch.size() >= minStretches;
    for (const long n : perStretch) {
        std::printf(" %ld", n);
        enough = enough && n >= minSlices;
    }
    std::printf("\n");
    return misplaced == 0 && enough ? 0 : 1;
}
