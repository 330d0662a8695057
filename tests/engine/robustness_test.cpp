// Hosts and other threads that misbehave: no time info, extreme tempos and
// rates, parameter and lane values far outside 0..1, fields changed under
// the audio thread. Nothing may crash, index out of range (the sanitizers
// watch) or produce a non-finite sample.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine_rig.h"

namespace tramvek::test {
namespace {

bool allFinite(const Stereo& s, float bound = 1e6f) {
    const auto ok = [bound](float v) { return std::isfinite(v) && std::fabs(v) <= bound; };
    return std::all_of(s.left.begin(), s.left.end(), ok) && std::all_of(s.right.begin(), s.right.end(), ok);
}

// Starts the clock places on its own count, without the host's position.
void expectOnsetsNear(const std::vector<std::int64_t>& found, const std::vector<std::int64_t>& expected) {
    ASSERT_EQ(found.size(), expected.size());
    for (std::size_t i = 0; i < found.size(); ++i) {
        EXPECT_NEAR(static_cast<double>(found[i]), static_cast<double>(expected[i]), 1.0) << i;
    }
}

void triggerEveryStep(SlicerPlugin& effect) {
    for (std::int32_t k = 0; k < 32; ++k) {
        effect.engine().setStepValue(k, 0.8f, SlicerEngine::kLaneTrigger);
    }
    effect.engine().setParameter(1, 0.3f);
}

TEST(Robustness, WithoutTimeInfoTheClockRunsAt120BpmFromAnInternalCount) {
    EngineRig rig(44100.0, 120.0);
    rig.host.answersTime = false;
    triggerEveryStep(*rig.effect);
    std::fill_n(stateOf(*rig.effect).playBuffers.writable(0), SlicerEngine::kBufferCapacity, 0.5f);
    rig.effect->engine().toggleFreeze();
    const Stereo out = rig.run(Stereo(100000), {512});
    EXPECT_GT(rig.host.timeQueries, 0);
    EXPECT_EQ(stateOf(*rig.effect).hostTempo, 120);
    EXPECT_EQ(stateOf(*rig.effect).hostSampleRate, 44100);
    std::vector<std::int64_t> expected;  // the host's grid at 44.1 kHz: 5512.5 samples a step
    for (std::int64_t k = 0; k * 5512.5 < 100000; ++k) {
        expected.push_back(static_cast<std::int64_t>(k * 5512.5));
    }
    expectOnsetsNear(onsets(out.left), expected);
}

TEST(Robustness, WhenTimeInfoStopsTheStepsGoOnAtTheLastTempoWithoutAJump) {
    EngineRig rig(48000.0, 100.0);  // 7200-sample steps
    triggerEveryStep(*rig.effect);
    std::fill_n(stateOf(*rig.effect).playBuffers.writable(0), SlicerEngine::kBufferCapacity, 0.5f);
    rig.effect->engine().toggleFreeze();
    const Stereo first = rig.run(Stereo(50000), {500});
    rig.host.answersTime = false;
    const Stereo second = rig.run(Stereo(50000), {500});
    std::vector<float> all = first.left;
    all.insert(all.end(), second.left.begin(), second.left.end());
    std::vector<std::int64_t> expected;
    for (std::int64_t at = 0; at < 100000; at += 7200) {
        expected.push_back(at);
    }
    expectOnsetsNear(onsets(all), expected);
    EXPECT_EQ(stateOf(*rig.effect).hostTempo, 100);
}

TEST(Robustness, StepsKeepStartingWhenTheStepLengthIsCapped) {
    // 20 BPM at 44.1 kHz: a 1/16 step would be 33000 samples, over the cap.
    EngineRig rig(44100.0, 20.0);
    triggerEveryStep(*rig.effect);
    const Stereo out = rig.run(Stereo(400000, 0.5f), {512});
    EXPECT_EQ(stateOf(*rig.effect).stepSamples, SlicerEngine::kMaxStepSamples);
    EXPECT_EQ(stateOf(*rig.effect).recordCycleSamples, 32 * SlicerEngine::kMaxStepSamples);
    // The first pattern records; count the starts through the recording index
    // jumps instead: the play buffers are still empty. Every grid step starts.
    EngineRig frozen(44100.0, 20.0);
    triggerEveryStep(*frozen.effect);
    std::fill_n(stateOf(*frozen.effect).playBuffers.writable(0), SlicerEngine::kBufferCapacity, 0.5f);
    frozen.effect->engine().toggleFreeze();
    const Stereo heard = frozen.run(Stereo(400000), {512});
    const auto found = onsets(heard.left);
    ASSERT_EQ(found.size(), 400000u / 33075u + 1);  // host grid: 33075 host samples per step
    for (std::size_t i = 1; i < found.size(); ++i) {
        EXPECT_NEAR(static_cast<double>(found[i] - found[i - 1]), 33075.0, 80.0);
    }
    EXPECT_TRUE(allFinite(out));
}

TEST(Robustness, ShapeAtAndAboveTheFormulasLimitStaysFiniteAndBounded) {
    for (const float shape : {0.998f, 0.999f, 0.9995f, 1.0f}) {
        EngineRig rig;
        rig.effect->engine().setParameter(4, shape);
        Stereo input(300000);
        for (std::size_t i = 0; i < input.size(); ++i) {
            input.left[i] = std::sin(0.01f * static_cast<float>(i)) * 0.9f;
            input.right[i] = -input.left[i];
        }
        const Stereo out = rig.run(input, {512});
        EXPECT_TRUE(allFinite(out, 2.0f)) << "shape " << shape;
        EXPECT_GT(*std::max_element(out.left.begin(), out.left.end()), 0.5f) << "shape " << shape;
    }
}

TEST(Robustness, ParameterAndLaneValuesFarOutsideTheirRangeStaySafe) {
    const float hostile[] = {std::numeric_limits<float>::quiet_NaN(),
                             std::numeric_limits<float>::infinity(),
                             -std::numeric_limits<float>::infinity(),
                             1e30f,
                             -1e30f,
                             7.5f,
                             -3.0f};
    for (const float value : hostile) {
        EngineRig rig;
        SlicerPlugin& e = *rig.effect;
        for (std::int32_t lane = 0; lane < 7; ++lane) {
            for (std::int32_t slot = 0; slot < 256; ++slot) {
                stateOf(e).steps[0][lane][slot] = value;
            }
        }
        for (std::int32_t index = 0; index < 8; ++index) {
            e.engine().setParameter(index, value);
        }
        // Fields as a chunk or a racing thread might leave them.
        stateOf(e).attackSq = value;
        stateOf(e).lengthSq = value;
        stateOf(e).cutoffSq = value;
        stateOf(e).resonance = value;
        stateOf(e).shape = value;
        stateOf(e).dryWet = value;
        stateOf(e).keepBuffer = value;
        stateOf(e).shuffle = value;
        const Stereo out = rig.run(Stereo(200000, 0.5f), {512, 31});
        EXPECT_TRUE(allFinite(out, 50.0f)) << "value " << value;
    }
}

TEST(Robustness, IndicesChangedUnderTheAudioThreadStayInRange) {
    EngineRig rig;
    SlicerPlugin& e = *rig.effect;
    const std::int32_t wild[] = {-1,
                                 0,
                                 33,
                                 1000,
                                 -100000,
                                 std::numeric_limits<std::int32_t>::max(),
                                 std::numeric_limits<std::int32_t>::min()};
    Stereo block(2048, 0.25f);
    for (const std::int32_t v : wild) {
        stateOf(e).patternLength = v;
        stateOf(e).currentBank = v;
        stateOf(e).currentPattern = v;
        stateOf(e).patternOffset = v;
        stateOf(e).resolutionIndex = v;
        stateOf(e).basePitch = v;
        stateOf(e).patternSamples = v;
        stateOf(e).recordCycleSamples = v;
        stateOf(e).stepSamples = v;
        const Stereo out = rig.run(block, {512, 1, 1535});
        EXPECT_TRUE(allFinite(out)) << v;
        EXPECT_GE(stateOf(e).resolutionIndex, 0);
        EXPECT_LT(stateOf(e).resolutionIndex, 7);
    }
    // A voice left reading far beyond the buffers by a shrunken cycle.
    stateOf(e).readPosition = 660990.0f;
    stateOf(e).sliceEnd = 661500;
    stateOf(e).voiceReverse = false;
    stateOf(e).recordIndex = 5000000;
    stateOf(e).recordArmed = true;
    EXPECT_TRUE(allFinite(rig.run(block, {512})));
}

TEST(Robustness, ExtremeHostTimeValuesAreReplaced) {
    struct Case {
        double sampleRate;
        double tempo;
        double ppq;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {{nan, nan, nan},        {inf, inf, inf},       {-inf, -inf, -inf},
                          {0.0, 0.0, -5.0},       {1e12, 1e12, 1e18},    {8000.0, 0.5, 0.0},
                          {48000.0, 5000.0, 3e9}, {11025.0, 999.0, 12.3}};
    for (const Case& c : cases) {
        EngineRig rig;
        rig.host.sampleRate = c.sampleRate;
        rig.host.tempo = c.tempo;
        rig.host.ppqStart = c.ppq;
        rig.host.playing = false;
        rig.effect->engine().setParameter(3, 1.0f);
        const Stereo out = rig.run(Stereo(50000, 0.5f), {256});
        EXPECT_TRUE(allFinite(out)) << c.sampleRate << " " << c.tempo << " " << c.ppq;
        EXPECT_GE(stateOf(*rig.effect).hostSampleRate, 10000);
        EXPECT_GE(stateOf(*rig.effect).hostTempo, 1);
        EXPECT_GE(stateOf(*rig.effect).stepSamples, 1);
    }
}

// Cutoff at the top of its range at low sample rates would put the filter's
// corner at or past Nyquist, where its bandwidth formula divides by sin(pi).
TEST(Robustness, LowSampleRatesKeepTheFilterStable) {
    for (const double rate : {10000.0, 11025.0, 16000.0, 20080.0, 22050.0}) {
        EngineRig rig(rate, 120.0);
        rig.effect->engine().setParameter(3, 1.0f);
        for (std::int32_t k = 0; k < 32; ++k) {
            rig.effect->engine().setStepValue(k, 1.0f, SlicerEngine::kLaneCutoff);
        }
        Stereo input(200000);
        for (std::size_t i = 0; i < input.size(); ++i) {
            input.left[i] = (i / 3) % 2 == 0 ? 0.5f : -0.5f;
            input.right[i] = input.left[i];
        }
        const Stereo out = rig.run(input, {512});
        EXPECT_TRUE(allFinite(out, 100.0f)) << rate;
    }
}

TEST(Robustness, AnIdleEnvelopeStaysSilentForMinutes) {
    EngineRig rig;
    // One start, then a stopped transport that never reaches a boundary.
    rig.run(Stereo(6100, 0.5f), {512});
    rig.host.playing = false;
    rig.host.ppqStart = 0.3;
    std::fill_n(stateOf(*rig.effect).playBuffers.writable(0), SlicerEngine::kBufferCapacity, 0.5f);
    stateOf(*rig.effect).voiceGain = 0.8f;
    stateOf(*rig.effect).readPosition = 0.0f;
    stateOf(*rig.effect).sliceEnd = 1 << 30;  // keep the voice reading
    const Stereo out = rig.run(Stereo(48000 * 30, 0.5f), {4096});
    EXPECT_LE(stateOf(*rig.effect).envelopeLevel, 1.0f);
    EXPECT_GE(stateOf(*rig.effect).releaseStep, 0.0f);
    EXPECT_TRUE(allFinite(out, 2.0f));
}

TEST(Robustness, ZeroAndNegativeBlocksQueryTheHostButProcessNothing) {
    EngineRig rig;
    float sentinel[2] = {7.0f, 7.0f};
    float* io[2] = {sentinel, sentinel + 1};
    rig.effect->engine().toggleSliceTriggering();
    const MidiMessage note{100, 0x90, 50, 100};
    rig.effect->engine().receiveMidi(&note, 1);
    rig.effect->processReplacing(io, io, 0);
    rig.effect->processReplacing(io, io, -64);
    EXPECT_EQ(rig.host.timeQueries, 2);
    ASSERT_EQ(stateOf(*rig.effect).timedNoteCount, 1);
    EXPECT_EQ(stateOf(*rig.effect).timedNotes[0].at, 100);
    EXPECT_EQ(sentinel[0], 7.0f);
}

}  // namespace
}  // namespace tramvek::test
