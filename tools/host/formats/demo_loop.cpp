#include "formats/demo_loop.h"

#include <cstdint>

namespace tramvek {
namespace {

constexpr int kStepsPerBar = 16;
constexpr double kTwoPi = 6.283185307179586;

// A sixteenth step's first frame.
std::size_t stepStart(int step, double tempo, double sampleRate) {
    return static_cast<std::size_t>(step * 15.0 * sampleRate / tempo);
}

// Repeatable noise in -1..1 (xorshift), the same on every platform.
class Noise {
  public:
    float next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<float>(static_cast<double>(state_) / 2147483648.0 - 1.0);
    }

  private:
    std::uint32_t state_ = 0x2545F491u;
};

// A sine by rotation (s += w c; c -= w s), stable for any small step w.
struct Oscillator {
    double sine = 0.0;
    double cosine = 1.0;
    double next(double frequency, double sampleRate) {
        double w = kTwoPi * frequency / sampleRate;
        sine += w * cosine;
        cosine -= w * sine;
        return sine;
    }
};

// Per-sample factor that makes an envelope fall to about a third in `seconds`.
double decayFactor(double seconds, double sampleRate) {
    return 1.0 - 1.0 / (seconds * sampleRate);
}

void addKick(StereoAudio& audio, std::size_t start, std::size_t length, double sampleRate) {
    Oscillator oscillator;
    double envelope = 1.0;
    double frequency = 150.0;
    double envelopeDecay = decayFactor(0.12, sampleRate);
    double sweepDecay = decayFactor(0.03, sampleRate);
    for (std::size_t i = start; i < start + length && i < audio.frames(); ++i) {
        auto sample = static_cast<float>(0.45 * envelope * oscillator.next(frequency, sampleRate));
        audio.left[i] += sample;
        audio.right[i] += sample;
        envelope *= envelopeDecay;
        frequency = 45.0 + (frequency - 45.0) * sweepDecay;
    }
}

void addSnare(StereoAudio& audio, std::size_t start, std::size_t length, double sampleRate, Noise& noise) {
    Oscillator oscillator;
    double envelope = 1.0;
    double envelopeDecay = decayFactor(0.07, sampleRate);
    for (std::size_t i = start; i < start + length && i < audio.frames(); ++i) {
        double tone = 0.2 * oscillator.next(190.0, sampleRate);
        audio.left[i] += static_cast<float>(envelope * (0.25 * noise.next() + tone));
        audio.right[i] += static_cast<float>(envelope * (0.25 * noise.next() + tone));
        envelope *= envelopeDecay;
    }
}

// High-passed noise, panned a little to the right so the channels differ.
void addHat(StereoAudio& audio, std::size_t start, std::size_t length, double sampleRate, double level,
            Noise& noise) {
    double envelope = level;
    double envelopeDecay = decayFactor(0.025, sampleRate);
    double previous = 0.0;
    for (std::size_t i = start; i < start + length && i < audio.frames(); ++i) {
        double white = noise.next();
        double bright = 0.5 * (white - previous);
        previous = white;
        audio.left[i] += static_cast<float>(0.7 * envelope * bright);
        audio.right[i] += static_cast<float>(envelope * bright);
        envelope *= envelopeDecay;
    }
}

}  // namespace

StereoAudio synthesizeDemoLoop(double tempo, double sampleRate) {
    StereoAudio audio;
    audio.sampleRate = sampleRate;
    int steps = kDemoLoopBars * kStepsPerBar;
    std::size_t frames = stepStart(steps, tempo, sampleRate);
    audio.left.assign(frames, 0.0f);
    audio.right.assign(frames, 0.0f);
    Noise noise;
    for (int step = 0; step < steps; ++step) {
        std::size_t start = stepStart(step, tempo, sampleRate);
        std::size_t length = stepStart(step + 4, tempo, sampleRate) - start;
        int inBar = step % kStepsPerBar;
        if (inBar == 0 || inBar == 8 || inBar == 10) {
            addKick(audio, start, length, sampleRate);
        }
        if (inBar == 4 || inBar == 12) {
            addSnare(audio, start, length, sampleRate, noise);
        }
        addHat(audio, start, length / 4, sampleRate, step % 2 == 0 ? 0.5 : 0.25, noise);
    }
    return audio;
}

}  // namespace tramvek
