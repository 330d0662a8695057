// Compares a host's render of the slicer with tramvek-host's render of the
// same input, step by step on the sequencer grid. Each step must hold the same
// audio in both, allowing the whole step to be shifted by up to a few samples
// (hosts round their musical position differently); silent steps must be
// silent in both. Prints one line per step that fails and a summary.
//
// The same audio means the same samples: the host and tramvek-host feed the
// plug-in the same input, so at the right lag a step's samples are equal.
// Only where the envelope moves may they differ: the rounding moves a slice's
// recording start and its playback start independently, so the envelope and
// the audio under it can be a few samples apart, which shows in the release.
//
// Usage: compare_slices ACTUAL EXPECTED INPUT STEP_FRAMES MAX_LAG [FIRST_STEP]
// STEP_FRAMES may be fractional.
// Steps before FIRST_STEP (default 0) are not compared.
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

struct StereoFile {
    std::vector<float> channels[2];
    long frames() const { return static_cast<long>(channels[0].size()); }
};

std::optional<StereoFile> readStereo(const char* path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path, SFM_READ, &info);
    if (file == nullptr) {
        std::fprintf(stderr, "compare: cannot read %s: %s\n", path, sf_strerror(nullptr));
        return std::nullopt;
    }
    if (info.channels != 2) {
        std::fprintf(stderr, "compare: %s has %d channels, not 2\n", path, info.channels);
        sf_close(file);
        return std::nullopt;
    }
    std::vector<float> interleaved(static_cast<size_t>(info.frames) * 2);
    const sf_count_t read = sf_readf_float(file, interleaved.data(), info.frames);
    sf_close(file);
    StereoFile result;
    for (sf_count_t i = 0; i < read; ++i) {
        result.channels[0].push_back(interleaved[2 * i]);
        result.channels[1].push_back(interleaved[2 * i + 1]);
    }
    return result;
}

struct Window {
    long begin;
    long end;
};

double energy(const std::vector<float>& signal, Window w) {
    double sum = 0.0;
    for (long i = w.begin; i < w.end; ++i) {
        sum += static_cast<double>(signal[i]) * signal[i];
    }
    return sum;
}

// Squared difference of actual[i + lag] and expected[i] over the window.
double difference(const std::vector<float>& actual, const std::vector<float>& expected, Window w, long lag) {
    double sum = 0.0;
    for (long i = w.begin; i < w.end; ++i) {
        const double d = static_cast<double>(actual[i + lag]) - expected[i];
        sum += d * d;
    }
    return sum;
}

struct Match {
    long lag;
    double relativeError;  // difference energy over the expected energy
};

// The share of the window's samples that differ by more than kSameSample.
constexpr double kSameSample = 1e-5;  // -100 dBFS
double differingShare(const std::vector<float>& actual, const std::vector<float>& expected, Window w,
                      long lag) {
    long differing = 0;
    for (long i = w.begin; i < w.end; ++i) {
        differing += std::fabs(static_cast<double>(actual[i + lag]) - expected[i]) > kSameSample ? 1 : 0;
    }
    return static_cast<double>(differing) / static_cast<double>(w.end - w.begin);
}

struct SampleMatch {
    long lag;
    double differingShare;
};

SampleMatch closestLag(const std::vector<float>& actual, const std::vector<float>& expected, Window w,
                       long maxLag) {
    SampleMatch best{0, 2.0};
    for (long lag = -maxLag; lag <= maxLag; ++lag) {
        const double share = differingShare(actual, expected, w, lag);
        if (share < best.differingShare) {
            best = {lag, share};
        }
    }
    return best;
}

Match bestMatch(const std::vector<float>& actual, const std::vector<float>& expected, Window w, long maxLag) {
    const double reference = energy(expected, w);
    Match best{0, INFINITY};
    for (long lag = -maxLag; lag <= maxLag; ++lag) {
        const double error = difference(actual, expected, w, lag) / reference;
        if (error < best.relativeError) {
            best = {lag, error};
        }
    }
    return best;
}

// A slice that moved by a few samples differs most at its edges (its attack
// starts elsewhere), so each step is compared away from its boundaries.
// Steps of a fractional tempo start at whole frames, as the plug-in's grid does.
Window interior(long step, double stepFrames, long margin) {
    const auto start = [stepFrames](long n) { return static_cast<long>(std::floor(n * stepFrames)); };
    return {start(step) + margin, start(step + 1) - margin};
}

// A release lasts about 100 samples of a step's thousands; a slice played at
// the wrong place or from the wrong recording differs almost everywhere.
constexpr double kMaxDifferingShare = 0.05;
constexpr double kSilentRms = 1e-4;  // -80 dBFS

struct Tally {
    int audible = 0;
    int silent = 0;
    int failed = 0;
    int reordered = 0;  // audible steps whose output is not the input's audio there
    long largestLag = 0;
    double largestShare = 0.0;
};

void compareStep(const StereoFile& actual, const StereoFile& expected, const StereoFile& input, long step,
                 double stepFrames, long maxLag, Tally& tally) {
    const Window w = interior(step, stepFrames, 4 * maxLag);
    const double frames = static_cast<double>(w.end - w.begin);
    bool audible = false;
    bool failed = false;
    bool reordered = false;
    for (int c = 0; c < 2; ++c) {
        const double expectedRms = std::sqrt(energy(expected.channels[c], w) / frames);
        if (expectedRms < kSilentRms) {
            const double actualRms = std::sqrt(energy(actual.channels[c], w) / frames);
            if (actualRms >= kSilentRms) {
                std::printf("step %ld channel %d: silent in the reference, rms %.2e here\n", step, c,
                            actualRms);
                failed = true;
            }
            continue;
        }
        audible = true;
        const SampleMatch m = closestLag(actual.channels[c], expected.channels[c], w, maxLag);
        tally.largestLag = std::max(tally.largestLag, std::labs(m.lag));
        tally.largestShare = std::max(tally.largestShare, m.differingShare);
        if (m.differingShare > kMaxDifferingShare) {
            std::printf("step %ld channel %d: at the best lag, %ld, %.1f %% of the samples differ\n", step, c,
                        m.lag, 100.0 * m.differingShare);
            failed = true;
        }
        reordered =
            reordered || bestMatch(input.channels[c], expected.channels[c], w, maxLag).relativeError > 0.5;
    }
    tally.audible += audible ? 1 : 0;
    tally.silent += audible ? 0 : 1;
    tally.failed += failed ? 1 : 0;
    tally.reordered += reordered ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6 && argc != 7) {
        std::fprintf(stderr,
                     "usage: compare_slices ACTUAL EXPECTED INPUT STEP_FRAMES MAX_LAG [FIRST_STEP]\n");
        return 2;
    }
    const auto actual = readStereo(argv[1]);
    const auto expected = readStereo(argv[2]);
    const auto input = readStereo(argv[3]);
    const double stepFrames = std::atof(argv[4]);
    const long maxLag = std::atol(argv[5]);
    const long firstStep = argc == 7 ? std::atol(argv[6]) : 0;
    if (!actual || !expected || !input || stepFrames <= 8 * maxLag || maxLag < 0 || firstStep < 0) {
        return 2;
    }
    if (actual->frames() != expected->frames() || input->frames() != expected->frames()) {
        std::printf("compare: lengths differ: %ld here, %ld in the reference, %ld in the input\n",
                    actual->frames(), expected->frames(), input->frames());
        return 1;
    }
    // Whole steps only, leaving room for the lag search at both ends.
    const long steps =
        static_cast<long>(static_cast<double>(expected->frames() - maxLag) / stepFrames) - firstStep;
    Tally tally;
    for (long step = firstStep; step < firstStep + steps; ++step) {
        compareStep(*actual, *expected, *input, step, stepFrames, maxLag, tally);
    }
    std::printf(
        "compare: %ld steps of %.2f frames: %d audible, %d silent, %d re-ordered, %d failed; "
        "largest lag %ld (allowed %ld), most samples differing in a step %.1f %% (allowed %.0f %%)\n",
        steps, stepFrames, tally.audible, tally.silent, tally.reordered, tally.failed, tally.largestLag,
        maxLag, 100.0 * tally.largestShare, 100.0 * kMaxDifferingShare);
    // A comparison of silence, or of a plug-in that passed its input through,
    // would prove nothing about slicing.
    if (tally.audible < steps / 4 || tally.reordered < tally.audible / 4) {
        std::printf("compare: too few audible or re-ordered steps for a meaningful comparison\n");
        return 1;
    }
    return tally.failed == 0 ? 0 : 1;
}
