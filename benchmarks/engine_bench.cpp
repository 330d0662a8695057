// Cost of the block loop per stereo frame, beside a pass-through baseline
// measured in the same run, and the blocks that do more than an ordinary
// one: pattern hand-overs (the worst: a full 32-step pattern at a tempo slow
// enough to reach the longest step) and a flush.
//
// Counters: ns_per_frame, x_realtime (real-time budget over time taken);
// for the hand-overs and the flush x_ordinary, the block's median time over
// that of ordinary 64-frame blocks timed in the same loop (median_ns,
// ordinary_median_ns), and budget_fraction (time taken over the block's budget).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/step_variation.h"
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

// Default patterns at 120 BPM; argument 1 turns shape and resonance on,
// argument 2 plays every step by chance (50 %) in four hits.
void BM_ProcessReplacing(benchmark::State& state) {
    constexpr int kFrames = 512;
    BenchHost host;
    activeHost = &host;
    auto effect = std::make_unique<SlicerPlugin>(&benchCallback);
    if (state.range(0) == 1) {
        effect->engine().setParameter(3, 0.7f);
        effect->engine().setParameter(4, 0.5f);
    }
    if (state.range(0) == 2) {
        for (std::int32_t step = 0; step < SlicerEngine::kStepsPerPattern; ++step) {
            effect->engine().setStepValue(step, 0.5f, SlicerEngine::kLaneChance);
            effect->engine().setStepValue(step, repeatValue(4), SlicerEngine::kLaneRepeat);
        }
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
BENCHMARK(BM_ProcessReplacing)->Arg(0)->Arg(1)->Arg(2)->ArgName("shape_reso_or_variation");

template <typename Run>
double wallNs(Run run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    const auto stop = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::nano>(stop - start).count();
}

// Wall-clock nanoseconds of single blocks: their mean, as the other
// benchmarks report, and their median, robust to the preemptions a shared
// machine adds to a few of them.
class BlockTimes {
  public:
    void add(double ns) { times_.push_back(ns); }
    template <typename Run>
    double time(Run run) {
        const double ns = wallNs(run);
        add(ns);
        return ns;
    }
    double mean() const {
        double sum = 0.0;
        for (const double ns : times_) {
            sum += ns;
        }
        return times_.empty() ? 0.0 : sum / static_cast<double>(times_.size());
    }
    double median() {
        if (times_.empty()) {
            return 0.0;
        }
        const auto middle = times_.begin() + static_cast<std::ptrdiff_t>(times_.size() / 2);
        std::nth_element(times_.begin(), middle, times_.end());
        return *middle;
    }

  private:
    std::vector<double> times_;
};

// Counters of a block measured against ordinary blocks timed in the same
// loop: x_ordinary, the ratio of their means (as BM_OrdinaryBlock's time is
// a mean), and both medians in ns with their ratio x_ordinary_median.
void reportAgainstOrdinary(benchmark::State& state, BlockTimes& block, BlockTimes& ordinary) {
    const double ordinaryMean = ordinary.mean();
    const double ordinaryMedian = ordinary.median();
    const double blockMedian = block.median();
    state.counters["x_ordinary"] = ordinaryMean > 0.0 ? block.mean() / ordinaryMean : 0.0;
    state.counters["median_ns"] = blockMedian;
    state.counters["ordinary_median_ns"] = ordinaryMedian;
    state.counters["x_ordinary_median"] = ordinaryMedian > 0.0 ? blockMedian / ordinaryMedian : 0.0;
}

// One plug-in playing ordinary 64-frame (or the argument's) blocks at 120
// BPM, the transport playing on: the reference of the blocks below.
struct OrdinaryPlayer {
    BenchHost host;
    std::unique_ptr<SlicerPlugin> effect = std::make_unique<SlicerPlugin>(&benchCallback);
    StereoBlock block;

    explicit OrdinaryPlayer(int frames) : block(frames) {}
    void play(int frames) {
        activeHost = &host;
        effect->processReplacing(block.in, block.out, frames);
        host.advance(frames);
        benchmark::DoNotOptimize(block.outL.data());
    }
};

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
    OrdinaryPlayer ordinary(frames);
    BlockTimes handOvers;
    BlockTimes ordinaryTimes;
    for (auto _ : state) {
        ordinaryTimes.time([&] { ordinary.play(frames); });
        activeHost = &host;
        const double ns = handOvers.time([&] { effect->processReplacing(block.in, block.out, frames); });
        benchmark::DoNotOptimize(block.outL.data());
        state.SetIterationTime(ns * 1e-9);
    }
    reportAgainstOrdinary(state, handOvers, ordinaryTimes);
    state.counters["budget_fraction"] = benchmark::Counter(
        frames / kSampleRate, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    activeHost = nullptr;
}
BENCHMARK(BM_PatternHandOverBlock)->Arg(64)->Arg(512)->ArgName("frames")->UseManualTime();

// An ordinary block: default patterns.
void BM_OrdinaryBlock(benchmark::State& state) {
    const auto frames = static_cast<int>(state.range(0));
    OrdinaryPlayer ordinary(frames);
    for (auto _ : state) {
        ordinary.play(frames);
        benchmark::ClobberMemory();
    }
    activeHost = nullptr;
}
BENCHMARK(BM_OrdinaryBlock)->Arg(64)->ArgName("frames");

// The block in which a pattern recorded in full hands over (120 BPM, 16
// steps): each iteration plays the pattern, and its hand-over block is timed
// against the pattern's other blocks. step_start_median_ns: the blocks in
// which another step starts, the part of a hand-over that is no buffer work.
void BM_HandOverAfterFullPattern(benchmark::State& state) {
    const auto frames = static_cast<int>(state.range(0));
    OrdinaryPlayer player(frames);
    const auto patternFrames = static_cast<std::int64_t>(16 * 5512.5);
    std::int64_t played = 0;
    BlockTimes handOvers;
    BlockTimes ordinaryTimes;
    BlockTimes stepStarts;
    for (auto _ : state) {
        const std::int64_t nextStart = (played / patternFrames + 1) * patternFrames;
        while (played + frames <= nextStart) {
            const std::int32_t step = stateOf(*player.effect).currentStep;
            const double ns = ordinaryTimes.time([&] { player.play(frames); });
            if (stateOf(*player.effect).currentStep != step) {
                stepStarts.add(ns);
            }
            played += frames;
        }
        state.SetIterationTime(handOvers.time([&] { player.play(frames); }) * 1e-9);
        played += frames;
    }
    reportAgainstOrdinary(state, handOvers, ordinaryTimes);
    state.counters["step_start_median_ns"] = stepStarts.median();
    activeHost = nullptr;
}
BENCHMARK(BM_HandOverAfterFullPattern)->Arg(64)->ArgName("frames")->UseManualTime()->Iterations(200);

// A block that carries out a flush, against the ordinary block before it.
void BM_FlushBlock(benchmark::State& state) {
    const auto frames = static_cast<int>(state.range(0));
    OrdinaryPlayer player(frames);
    BlockTimes flushes;
    BlockTimes ordinaryTimes;
    for (auto _ : state) {
        ordinaryTimes.time([&] { player.play(frames); });
        player.effect->engine().flushBuffer();
        state.SetIterationTime(flushes.time([&] { player.play(frames); }) * 1e-9);
    }
    reportAgainstOrdinary(state, flushes, ordinaryTimes);
    activeHost = nullptr;
}
BENCHMARK(BM_FlushBlock)->Arg(64)->ArgName("frames")->UseManualTime();

}  // namespace
}  // namespace tramvek

BENCHMARK_MAIN();
