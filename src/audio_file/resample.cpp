#include "audio_file/resample.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

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

// The window over half its width (x = 0 at the centre, 1 at the end), sampled
// finely once and read with linear interpolation: closer to the exact window
// than float samples resolve, for a fraction of its cost.
class KaiserWindow {
  public:
    KaiserWindow() : values_(kPoints + 2) {
        const double scale = 1.0 / besselI0(kKaiserBeta);
        for (std::size_t i = 0; i <= kPoints; ++i) {
            const double x = static_cast<double>(i) / kPoints;
            values_[i] = besselI0(kKaiserBeta * std::sqrt(std::max(0.0, 1.0 - x * x))) * scale;
        }
        values_[kPoints + 1] = 0.0;
    }

    double at(double x) const {
        const double position = std::min(x, 1.0) * kPoints;
        const auto index = static_cast<std::size_t>(position);
        const double fraction = position - static_cast<double>(index);
        return values_[index] + fraction * (values_[index + 1] - values_[index]);
    }

  private:
    static constexpr std::size_t kPoints = 16384;
    std::vector<double> values_;
};

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
    static const KaiserWindow window;
    // sin(pi cutoff distance) for consecutive taps by rotation: the distance
    // falls by one from tap to tap.
    const double phase = std::numbers::pi * cutoff;
    const double sinStep = std::sin(phase);
    const double cosStep = std::cos(phase);
    for (std::size_t n = 0; n < frames; ++n) {
        const double centre = static_cast<double>(n) * step;
        const auto first =
            std::max<std::ptrdiff_t>(0, static_cast<std::ptrdiff_t>(std::ceil(centre - halfWidth)));
        const auto last =
            std::min(inputFrames - 1, static_cast<std::ptrdiff_t>(std::floor(centre + halfWidth)));
        double sine = std::sin(phase * (centre - static_cast<double>(first)));
        double cosine = std::cos(phase * (centre - static_cast<double>(first)));
        double left = 0.0;
        double right = 0.0;
        for (std::ptrdiff_t k = first; k <= last; ++k) {
            const double distance = centre - static_cast<double>(k);
            // Near the centre the rotation's tiny absolute error would be divided by
            // a tiny distance: there the sine is taken as it is.
            const double sinc = std::fabs(distance) >= 1.0 ? sine / (phase * distance)
                                : distance == 0.0          ? 1.0
                                                           : std::sin(phase * distance) / (phase * distance);
            const double weight = cutoff * sinc * window.at(std::fabs(distance) / halfWidth);
            left += weight * audio.left[static_cast<std::size_t>(k)];
            right += weight * audio.right[static_cast<std::size_t>(k)];
            const double nextSine = sine * cosStep - cosine * sinStep;
            cosine = cosine * cosStep + sine * sinStep;
            sine = nextSine;
        }
        out.left[n] = static_cast<float>(left);
        out.right[n] = static_cast<float>(right);
    }
    return out;
}

}  // namespace tramvek
