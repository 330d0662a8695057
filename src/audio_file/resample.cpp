#include "audio_file/resample.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tramvek {
namespace {

// Zero crossings of the sinc on each side, and the window's shape: about
// 90 dB of stop-band attenuation.
constexpr double kZeroCrossings = 32.0;
constexpr double kKaiserBeta = 9.0;

double besselI0(double x) {
    double sum = 1.0;
    double term = 1.0;
    for (int k = 1; k < 40 && term > 1e-12 * sum; ++k) {
        const double half = x / (2.0 * k);
        term *= half * half;
        sum += term;
    }
    return sum;
}

// x in units of the filter's half width: 1 at its ends.
double kaiser(double x) {
    return besselI0(kKaiserBeta * std::sqrt(std::max(0.0, 1.0 - x * x))) / besselI0(kKaiserBeta);
}

double sinc(double x) {
    return x == 0.0 ? 1.0 : std::sin(std::numbers::pi * x) / (std::numbers::pi * x);
}

StereoAudio firstFrames(const StereoAudio& audio, std::size_t frames) {
    StereoAudio out;
    out.sampleRate = audio.sampleRate;
    const auto end = static_cast<std::ptrdiff_t>(std::min(frames, audio.frames()));
    out.left.assign(audio.left.begin(), audio.left.begin() + end);
    out.right.assign(audio.right.begin(), audio.right.begin() + end);
    return out;
}

}  // namespace

StereoAudio resampled(const StereoAudio& audio, double rate, std::size_t maxFrames) {
    if (audio.sampleRate == rate) {
        return firstFrames(audio, maxFrames);
    }
    const double step = audio.sampleRate / rate;  // input samples per output sample
    const double cutoff = std::min(1.0, 1.0 / step);
    const double halfWidth = kZeroCrossings / cutoff;
    const auto inputFrames = static_cast<std::ptrdiff_t>(audio.frames());
    const auto frames = std::min(maxFrames, static_cast<std::size_t>(std::ceil(audio.frames() / step)));

    StereoAudio out;
    out.sampleRate = rate;
    out.left.resize(frames);
    out.right.resize(frames);
    for (std::size_t n = 0; n < frames; ++n) {
        const double centre = static_cast<double>(n) * step;
        const auto first =
            std::max<std::ptrdiff_t>(0, static_cast<std::ptrdiff_t>(std::ceil(centre - halfWidth)));
        const auto last =
            std::min(inputFrames - 1, static_cast<std::ptrdiff_t>(std::floor(centre + halfWidth)));
        double left = 0.0;
        double right = 0.0;
        for (std::ptrdiff_t k = first; k <= last; ++k) {
            const double distance = centre - static_cast<double>(k);
            const double weight = cutoff * sinc(cutoff * distance) * kaiser(distance / halfWidth);
            left += weight * audio.left[static_cast<std::size_t>(k)];
            right += weight * audio.right[static_cast<std::size_t>(k)];
        }
        out.left[n] = static_cast<float>(left);
        out.right[n] = static_cast<float>(right);
    }
    return out;
}

}  // namespace tramvek
