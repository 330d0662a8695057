// Cost of the block loop per stereo frame, beside a pass-through baseline
// measured in the same run, and the worst single block: the hand-over of a
// full 32-step pattern at a tempo slow enough to reach the longest step.
//
// Counters: ns_per_frame, x_realtime (real-time budget over time taken) and,
// for the hand-over, budget_fraction (time taken over the block's budget).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "support/engine_state_access.h"

namespace tramvek {
namespace {

constexpr double kSampleRate = 44100.0;

// A host whose transport plays on, or stands still at a chosen position.
struct BenchHost {
    double tempo = 120.0;
    double ppqPos = 0.0;
    bool playing = true;
    VstTimeInfo info{};

    void advance(int frames) {
        if (playing) {
            ppqPos += frames * tempo / (60.0 * kSampleRate);
        }
    }
};

BenchHost* activeHost = nullptr;

VstIntPtr VST_CALLBACK benchCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    if (opcode == audioMasterGetTime && activeHost != nullptr) {
        activeHost->info.sampleRate = kSampleRate;
        activeHost->info.tempo = activeHost->tempo;
        activeHost->info.ppqPos = activeHost->ppqPos;
        return reinterpret_cast<VstIntPtr>(&activeHost->info);
    }
    return opcode == audioMasterVersion ? 2400 : 0;
}

struct StereoBlock {
    std::vector<float> inL, inR, outL, outR;
    float* in[2];
    float* out[2];

    explicit StereoBlock(int frames) : inL(frames), inR(frames), outL(frames), outR(frames) {
        std::uint32_t state = 1u;
        for (int i = 0; i < frames; ++i) {
            state = state * 1664525u + 1013904223u;
            inL[static_cast<std::size_t>(i)] = static_cast<float>(state >> 9) / 4194304.0f - 1.0f;
            inR[static_cast<std::size_t>(i)] = -inL[static_cast<std::size_t>(i)];
        }
        in[0] = inL.data();
        in[1] = inR.data();
        out[0] = outL.data();
        out[1] = outR.data();
    }
};

void reportPerFrame(benchmark::State& state, int frames) {
    const double budget = frames / kSampleRate;
    state.counters["ns_per_frame"] = benchmark::Counter(
        frames * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["x_realtime"] = benchmark::Counter(budget, benchmark::Counter::kIsIterationInvariantRate);
}

// Copy in to out and overdub the input into a recording buffer: the least
// any recorder of this kind does per frame.
void BM_PassThroughBaseline(benchmark::State& state) {
    constexpr int kFrames = 512;
    StereoBlock block(kFrames);
    std::vector<float> recordL(SlicerEngine::kBufferCapacity), recordR(SlicerEngine::kBufferCapacity);
    std::int32_t index = 0;
    const std::int32_t cycle = 32 * 5500;
    const float keep = 0.0f;
    for (auto _ : state) {
        for (int i = 0; i < kFrames; ++i) {
            const float l = block.inL[static_cast<std::size_t>(i)];
            const float r = block.inR[static_cast<std::size_t>(i)];
            recordL[static_cast<std::size_t>(index)] = recordL[static_cast<std::size_t>(index)] * keep + l;
            recordR[static_cast<std::size_t>(index)] = recordR[static_cast<std::size_t>(index)] * keep + r;
            index = (index + 1) % cycle;
            block.outL[static_cast<std::size_t>(i)] = l;
            block.outR[static_cast<std::size_t>(i)] = r;
        }
        benchmark::DoNotOptimize(block.outL.data());
        benchmark::DoNotOptimize(recordL.data());
        benchmark::ClobberMemory();
    }
    reportPerFrame(state, kFrames);
}
BENCHMARK(BM_PassThroughBaseline);

// Default patterns at 120 BPM; argument 1 turns shape and resonance on.
void BM_ProcessReplacing(benchmark::State& state) {
    constexpr int kFrames = 512;
    BenchHost host;
    activeHost = &host;
    auto effect = std::make_unique<SlicerPlugin>(&benchCallback);
    if (state.range(0) != 0) {
        effect->engine().setParameter(3, 0.7f);
        effect->engine().setParameter(4, 0.5f);
    }
    StereoBlock block(kFrames);
    for (auto _ : state) {
        effect->processReplacing(block.in, block.out, kFrames);
        host.advance(kFrames);
        benchmark::DoNotOptimize(block.outL.data());
        benchmark::ClobberMemory();
    }
    reportPerFrame(state, kFrames);
    activeHost = nullptr;
}
BENCHMARK(BM_ProcessReplacing)->Arg(0)->Arg(1)->ArgName("shape_reso");

// Every iteration is the block in which step 0 of a 32-step pattern starts
// at 20 BPM (steps held at the 20,652-sample cap): the transport stands just
// before the boundary, so each block hands 660,864 samples per channel over.
void BM_PatternHandOverBlock(benchmark::State& state) {
    const auto frames = static_cast<int>(state.range(0));
    BenchHost host;
    host.tempo = 20.0;
    host.playing = false;
    const double beatSamples = 240000.0 / 20.0 * 44.0 * 0.25;  // the engine's own clock
    const double gridStep = beatSamples / 4.0;
    host.ppqPos = (32.0 * gridStep - 10.0) / beatSamples;  // 10 samples before step 0 of pattern 1
    activeHost = &host;
    auto effect = std::make_unique<SlicerPlugin>(&benchCallback);
    stateOf(*effect).patternLength = 32;
    StereoBlock block(frames);
    effect->processReplacing(block.in, block.out, frames);
    if (stateOf(*effect).patternSamples != 32 * SlicerEngine::kMaxStepSamples) {
        state.SkipWithError("the hand-over block did not hand over a full pattern");
    }
    for (auto _ : state) {
        effect->processReplacing(block.in, block.out, frames);
        benchmark::DoNotOptimize(block.outL.data());
        benchmark::ClobberMemory();
    }
    state.counters["budget_fraction"] = benchmark::Counter(
        frames / kSampleRate, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    activeHost = nullptr;
}
BENCHMARK(BM_PatternHandOverBlock)->Arg(64)->Arg(512)->ArgName("frames");

// Times 64-frame (or the argument's) blocks at 120 BPM, the transport
// playing on, each after `beforeBlock(effect)`.
template <typename BeforeBlock>
void timeBlocks(benchmark::State& state, BeforeBlock beforeBlock) {
    const auto frames = static_cast<int>(state.range(0));
    BenchHost host;
    activeHost = &host;
    auto effect = std::make_unique<SlicerPlugin>(&benchCallback);
    StereoBlock block(frames);
    for (auto _ : state) {
        beforeBlock(*effect);
        effect->processReplacing(block.in, block.out, frames);
        host.advance(frames);
        benchmark::DoNotOptimize(block.outL.data());
        benchmark::ClobberMemory();
    }
    activeHost = nullptr;
}

// An ordinary block: default patterns.
void BM_OrdinaryBlock(benchmark::State& state) {
    timeBlocks(state, [](SlicerPlugin&) {});
}
BENCHMARK(BM_OrdinaryBlock)->Arg(64)->ArgName("frames");

// The block in which a pattern recorded in full hands over (120 BPM, 16
// steps): each iteration plays the pattern untimed and times that block alone.
void BM_HandOverAfterFullPattern(benchmark::State& state) {
    const auto frames = static_cast<int>(state.range(0));
    BenchHost host;
    activeHost = &host;
    auto effect = std::make_unique<SlicerPlugin>(&benchCallback);
    StereoBlock block(frames);
    const auto patternFrames = static_cast<std::int64_t>(16 * 5512.5);
    std::int64_t played = 0;
    for (auto _ : state) {
        const std::int64_t nextStart = (played / patternFrames + 1) * patternFrames;
        while (played + frames <= nextStart) {
            effect->processReplacing(block.in, block.out, frames);
            host.advance(frames);
            played += frames;
        }
        const auto start = std::chrono::steady_clock::now();
        effect->processReplacing(block.in, block.out, frames);
        const auto stop = std::chrono::steady_clock::now();
        host.advance(frames);
        played += frames;
        benchmark::DoNotOptimize(block.outL.data());
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
    }
    activeHost = nullptr;
}
BENCHMARK(BM_HandOverAfterFullPattern)->Arg(64)->ArgName("frames")->UseManualTime()->Iterations(30);

// A flush carried out in a block.
void BM_FlushBlock(benchmark::State& state) {
    timeBlocks(state, [](SlicerPlugin& effect) { effect.engine().flushBuffer(); });
}
BENCHMARK(BM_FlushBlock)->Arg(64)->ArgName("frames");

}  // namespace
}  // namespace tramvek

BENCHMARK_MAIN();
