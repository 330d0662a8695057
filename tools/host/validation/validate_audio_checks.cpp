// Audio under the conditions real hosts create: every common sample rate,
// block sizes from 1 to 8192 (also changing within a run, and empty blocks),
// tempo jumps, a stopped transport, loops, and song positions before the start
// and far into the song. Every output sample is inspected (see AudioRun).
#include <algorithm>
#include <cmath>
#include <random>
#include <sstream>

#include "validation/validate_audio.h"
#include "validation/validate_checks.h"

namespace tramvek {
namespace {

constexpr int kLargestBlock = 8192;

std::string peakText(const AudioRun& run) {
    std::ostringstream text;
    text << "peak " << run.peak();
    return text.str();
}

std::string sampleRates(const ValidationContext& context) {
    std::unique_ptr<OpenPlugin> open = openPlugin(context);
    static constexpr double kRates[] = {22050, 32000, 44100, 48000, 88200, 96000, 176400, 192000};
    float peak = 0.0f;
    for (double rate : kRates) {
        open->reconfigure(rate, kDefaultMaxBlock);
        AudioRun run(*open, static_cast<std::uint64_t>(rate));
        run.processFor(context.audioSeconds(), kDefaultMaxBlock);
        peak = std::max(peak, run.peak());
    }
    std::ostringstream text;
    text << std::size(kRates) << " rates from 22050 to 192000 Hz, " << context.audioSeconds()
         << " s each, peak " << peak;
    return text.str();
}

std::string blockSizes(const ValidationContext& context) {
    std::unique_ptr<OpenPlugin> open = openPlugin(context);
    static constexpr int kSizes[] = {1,   2,   3,   7,    16,   32,   64,   100, 128,
                                     256, 441, 512, 1000, 1024, 2048, 4096, 8192};
    for (int size : kSizes) {
        open->reconfigure(kDefaultSampleRate, size);
        AudioRun run(*open, static_cast<std::uint64_t>(size));
        // The tiniest blocks cost a call per sample: a shorter run says as much.
        run.processFor(size < kDefaultMaxBlock / 32 ? context.audioSeconds() / 4 : context.audioSeconds(),
                       size);
    }
    std::ostringstream text;
    text << std::size(kSizes) << " block sizes from 1 to 8192, up to " << context.audioSeconds() << " s each";
    return text.str();
}

// Mostly small and medium blocks, sometimes the largest, sometimes empty.
int randomBlock(std::mt19937_64& random, int largest) {
    int kind = std::uniform_int_distribution<int>(0, 9)(random);
    if (kind == 0) {
        return 0;
    }
    if (kind == 1) {
        return largest;
    }
    double logSize =
        std::uniform_real_distribution<double>(0.0, std::log(static_cast<double>(largest)))(random);
    return std::clamp(static_cast<int>(std::exp(logSize)), 1, largest);
}

std::string changingBlocks(const ValidationContext& context) {
    std::mt19937_64 random = context.random("audio/changing-blocks");
    std::unique_ptr<OpenPlugin> open = openPlugin(context, kDefaultSampleRate, kLargestBlock);
    AudioRun run(*open, random());
    auto total = static_cast<std::int64_t>(4 * context.audioSeconds() * kDefaultSampleRate);
    for (std::int64_t done = 0; done < total;) {
        int frames = randomBlock(random, kLargestBlock);
        run.process(frames);
        done += frames;
    }
    return std::to_string(run.blocks()) + " blocks of random sizes 0..8192 within one run, " + peakText(run);
}

std::string emptyBlocks(const ValidationContext& context) {
    std::mt19937_64 random = context.random("audio/empty-blocks");
    std::unique_ptr<OpenPlugin> open = openPlugin(context);
    AudioRun run(*open, random());
    // Straight after resume, before any audio.
    run.process(0);
    run.process(0);
    int rounds = context.scaled(400);
    for (int i = 0; i < rounds; ++i) {
        run.process(std::uniform_int_distribution<int>(0, 1)(random) == 0
                        ? 0
                        : randomBlock(random, kDefaultMaxBlock));
    }
    return std::to_string(run.blocks()) + " blocks, about half of them empty";
}

std::string tempoJumps(const ValidationContext& context) {
    std::mt19937_64 random = context.random("audio/tempo");
    std::unique_ptr<OpenPlugin> open = openPlugin(context);
    AudioRun run(*open, random());
    auto total = static_cast<std::int64_t>(6 * context.audioSeconds() * kDefaultSampleRate);
    for (std::int64_t done = 0; done < total;) {
        int choice = std::uniform_int_distribution<int>(0, 5)(random);
        run.timeline.tempo = choice == 0   ? 20.0
                             : choice == 1 ? 300.0
                                           : std::uniform_real_distribution<double>(20.0, 300.0)(random);
        if (std::uniform_int_distribution<int>(0, 3)(random) == 0) {
            // A jump of the song position together with the tempo change.
            run.timeline.ppq = std::uniform_real_distribution<double>(0.0, 512.0)(random);
        }
        int blocks = std::uniform_int_distribution<int>(1, 20)(random);
        for (int b = 0; b < blocks; ++b) {
            int frames = randomBlock(random, kDefaultMaxBlock);
            run.process(frames);
            done += frames;
        }
    }
    return std::to_string(run.blocks()) + " blocks at tempos 20..300 with jumps, " + peakText(run);
}

std::string stoppedTransport(const ValidationContext& context) {
    std::mt19937_64 random = context.random("audio/transport-stopped");
    std::unique_ptr<OpenPlugin> open = openPlugin(context);
    AudioRun run(*open, random());
    int rounds = context.scaled(6);
    for (int round = 0; round < rounds; ++round) {
        run.timeline.playing = false;
        run.timeline.ppq = round == 0 ? 0.0 : std::uniform_real_distribution<double>(0.0, 64.0)(random);
        run.processFor(context.audioSeconds() / 2, kDefaultMaxBlock);
        run.timeline.playing = true;
        run.processFor(context.audioSeconds() / 2, kDefaultMaxBlock);
    }
    return std::to_string(rounds) + " stops and starts, " + peakText(run);
}

std::string loops(const ValidationContext& context) {
    std::mt19937_64 random = context.random("audio/loop");
    std::unique_ptr<OpenPlugin> open = openPlugin(context);
    AudioRun run(*open, random());
    int rounds = context.scaled(6);
    for (int round = 0; round < rounds; ++round) {
        double start = std::floor(std::uniform_real_distribution<double>(0.0, 32.0)(random));
        double length = std::uniform_int_distribution<int>(0, 2)(random) == 0 ? 0.25 : 4.0;
        run.timeline.looping = true;
        run.timeline.cycleStart = start;
        run.timeline.cycleEnd = start + length;
        run.timeline.ppq = start;
        run.timeline.tempo = std::uniform_real_distribution<double>(60.0, 200.0)(random);
        run.processFor(context.audioSeconds(), randomBlock(random, kDefaultMaxBlock) + 1);
        // And the host jumping back by hand, without a loop.
        run.timeline.looping = false;
        run.timeline.ppq = start + 16.0;
        run.processFor(context.audioSeconds() / 4, kDefaultMaxBlock);
        run.timeline.ppq = start;
        run.processFor(context.audioSeconds() / 4, kDefaultMaxBlock);
    }
    return std::to_string(rounds) + " loops of 1/16 note to one bar and jumps back, " + peakText(run);
}

std::string negativePositions(const ValidationContext& context) {
    std::unique_ptr<OpenPlugin> open = openPlugin(context);
    AudioRun run(*open, 11);
    for (double start : {-8.0, -0.001, -1000.0, -1e9}) {
        run.timeline.ppq = start;
        run.timeline.samplePos =
            start < -1000.0 ? 0.0 : start * 60.0 / run.timeline.tempo * kDefaultSampleRate;
        run.timeline.playing = false;
        run.process(kDefaultMaxBlock);
        run.timeline.playing = true;
        // Pre-roll running forward, through zero where the start is near.
        run.processFor(std::max(context.audioSeconds(), 4.5), kDefaultMaxBlock);
    }
    return "pre-roll from ppqPos -8, -0.001, -1000 and -1e9, " + peakText(run);
}

std::string hugePositions(const ValidationContext& context) {
    std::unique_ptr<OpenPlugin> open = openPlugin(context);
    AudioRun run(*open, 12);
    static constexpr double kPositions[] = {1e6, 2147483647.5, 1e9, 4294967296.25, 1e12};
    for (double position : kPositions) {
        for (double tempo : {20.0, 120.0, 300.0}) {
            run.timeline.ppq = position;
            run.timeline.tempo = tempo;
            run.timeline.samplePos = position * 60.0 / tempo * kDefaultSampleRate;
            run.processFor(context.audioSeconds() / 2, kDefaultMaxBlock);
        }
    }
    return "ppqPos from 1e6 to 1e12 at tempos 20, 120 and 300, " + peakText(run);
}

std::string accumulatingEntry(const ValidationContext& context) {
    std::unique_ptr<OpenPlugin> open = openPlugin(context);
    if (open->effect().process == nullptr) {
        skipCheck("the plug-in has no accumulating process entry");
    }
    AudioRun run(*open, 13);
    // Outputs holding something already, as the entry adds to them.
    run.useAccumulatingEntry(0.25f);
    run.processFor(2 * context.audioSeconds(), kDefaultMaxBlock);
    return std::to_string(run.blocks()) + " blocks through process(), " + peakText(run);
}

}  // namespace

void runAudioChecks(ValidationRunner& runner, const ValidationContext& context) {
    runner.run("audio/sample-rates", [&] { return sampleRates(context); });
    runner.run("audio/block-sizes", [&] { return blockSizes(context); });
    runner.run("audio/changing-blocks", [&] { return changingBlocks(context); });
    runner.run("audio/empty-blocks", [&] { return emptyBlocks(context); });
    runner.run("audio/tempo", [&] { return tempoJumps(context); });
    runner.run("audio/transport-stopped", [&] { return stoppedTransport(context); });
    runner.run("audio/loop", [&] { return loops(context); });
    runner.run("audio/ppq-negative", [&] { return negativePositions(context); });
    runner.run("audio/ppq-huge", [&] { return hugePositions(context); });
    runner.run("audio/accumulating", [&] { return accumulatingEntry(context); });
}

}  // namespace tramvek
