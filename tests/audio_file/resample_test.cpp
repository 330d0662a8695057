// The band-limited resampler the dropped files and the host's frozen audio go through.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "audio_file/resample.h"

namespace tramvek {
namespace {

// A tone below both Nyquist frequencies comes out as the same tone at the new
// rate; one above the target's is filtered out instead of folding back.
TEST(Resample, KeepsTheBandBothRatesCarryAndRemovesWhatWouldAlias) {
    auto tone = [](double frequency, double rate, std::size_t frames) {
        StereoAudio audio;
        audio.sampleRate = rate;
        for (std::size_t i = 0; i < frames; ++i) {
            const double phase = 2.0 * std::numbers::pi * frequency * static_cast<double>(i) / rate;
            audio.left.push_back(static_cast<float>(0.5 * std::sin(phase)));
            audio.right.push_back(static_cast<float>(-0.5 * std::sin(phase)));
        }
        return audio;
    };
    for (double from : {22050.0, 48000.0, 96000.0}) {
        StereoAudio out = resampled(tone(1000.0, from, 9600), 44100.0, 4000);
        StereoAudio expected = tone(1000.0, 44100.0, 4000);
        ASSERT_EQ(out.frames(), 4000u);
        EXPECT_EQ(out.sampleRate, 44100.0);
        for (std::size_t i = 200; i < out.frames(); ++i) {  // past the start, where the input begins abruptly
            ASSERT_NEAR(out.left[i], expected.left[i], 1e-3) << from << " Hz, frame " << i;
            ASSERT_NEAR(out.right[i], expected.right[i], 1e-3) << from << " Hz, frame " << i;
        }
    }
    StereoAudio aliased = resampled(tone(30000.0, 96000.0, 9600), 44100.0, 4000);
    for (std::size_t i = 200; i < aliased.frames(); ++i) {
        ASSERT_LT(std::fabs(aliased.left[i]), 1e-3) << i;
    }
    StereoAudio same = tone(440.0, 44100.0, 100);
    EXPECT_EQ(resampled(same, 44100.0, 60).left,
              std::vector<float>(same.left.begin(), same.left.begin() + 60));
    EXPECT_EQ(resampled(same, 48000.0, 1000).frames(), 109u);  // the input's length at the new rate
}

}  // namespace
}  // namespace tramvek
