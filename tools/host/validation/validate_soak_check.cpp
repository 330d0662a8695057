// The soak: one instance for a long run in which everything changes (tempo,
// block size, song position, loops, stops, parameters, programs) and long
// silences let decaying state sink towards subnormal numbers. Output must stay
// sound throughout, and the processing cost per frame must stay flat: the
// median cost of the last fifth against the first, and of silent stretches
// against sounding ones (thread CPU time on Linux, the monotonic clock on
// Windows).
#include <algorithm>
#include <cmath>
#include <random>
#include <sstream>
#include <vector>

#include "validation/validate_audio.h"
#include "validation/validate_checks.h"

#ifdef _WIN32
#include <chrono>
#else
#include <ctime>
#endif

namespace tramvek {
namespace {

constexpr int kLargestBlock = 4096;
constexpr double kSliceSeconds = 0.25;
constexpr double kSoundSeconds = 4.0;
constexpr double kSilenceSeconds = 2.0;
constexpr double kShortestSoak = 10.0;
// Subnormal arithmetic costs tens of times the normal; ordinary variation
// between windows stays well inside these.
constexpr double kLateOverEarlyLimit = 2.0;
constexpr double kSilentOverSoundingLimit = 3.0;

#ifdef _WIN32
// Windows keeps thread times in scheduler ticks, far coarser than a slice, and
// Wine answers no thread cycle count: the monotonic clock it is, and the
// medians below keep the slices a preemption lands in out of the result.
const char* const kCostUnit = "ns";
double threadCost() {
    return std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
#else
const char* const kCostUnit = "ns";
double threadCost() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}
#endif

double median(std::vector<double> values) {
    if (values.empty()) {
        return 0.0;
    }
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2),
                     values.end());
    return values[values.size() / 2];
}

struct Slice {
    double costPerFrame = 0.0;
    bool silent = false;
};

// What a host and its user do between two blocks.
class Churn {
  public:
    Churn(OpenPlugin& open, AudioRun& run, std::mt19937_64& random)
        : open_(open), run_(run), random_(random) {}

    void beforeBlock() {
        AEffect& e = open_.effect();
        if (e.numParams > 0 && chance(4)) {
            int changes = std::uniform_int_distribution<int>(1, e.numParams)(random_);
            for (int c = 0; c < changes; ++c) {
                e.setParameter(&e, std::uniform_int_distribution<VstInt32>(0, e.numParams - 1)(random_),
                               unit());
            }
            parameterChanges += changes;
        }
        if (e.numPrograms > 0 && chance(100)) {
            open_.plugin().dispatch(effSetProgram, 0,
                                    std::uniform_int_distribution<VstInt32>(0, e.numPrograms - 1)(random_));
            ++programChanges;
        }
        Timeline& t = run_.timeline;
        if (chance(50)) {
            t.tempo = std::uniform_real_distribution<double>(20.0, 300.0)(random_);
        }
        if (chance(50)) {
            t.ppq = std::uniform_real_distribution<double>(-4.0, 10000.0)(random_);
            ++jumps;
        }
        if (chance(100)) {
            t.looping = !t.looping;
            t.cycleStart = std::floor(t.ppq);
            t.cycleEnd = t.cycleStart + 4.0;
        }
        if (chance(100)) {
            t.playing = !t.playing;
        }
    }

    int frames() { return chance(50) ? 0 : std::uniform_int_distribution<int>(1, kLargestBlock)(random_); }

    long parameterChanges = 0;
    long programChanges = 0;
    long jumps = 0;

  private:
    bool chance(int oneIn) { return std::uniform_int_distribution<int>(0, oneIn - 1)(random_) == 0; }
    float unit() { return std::uniform_real_distribution<float>(0.0f, 1.0f)(random_); }

    OpenPlugin& open_;
    AudioRun& run_;
    std::mt19937_64& random_;
};

std::string soak(const ValidationContext& context, double seconds) {
    if (seconds < kShortestSoak) {
        failCheck("a soak needs at least " + std::to_string(static_cast<int>(kShortestSoak)) + " s");
    }
    std::mt19937_64 random = context.random("soak/run");
    std::unique_ptr<OpenPlugin> open = openPlugin(context, kDefaultSampleRate, kLargestBlock);
    AudioRun run(*open, random());
    Churn churn(*open, run, random);
    const auto sliceFrames = static_cast<std::int64_t>(kSliceSeconds * kDefaultSampleRate);
    const auto slices = static_cast<std::int64_t>(seconds / kSliceSeconds);
    const auto phaseSlices = static_cast<std::int64_t>((kSoundSeconds + kSilenceSeconds) / kSliceSeconds);
    const auto soundSlices = static_cast<std::int64_t>(kSoundSeconds / kSliceSeconds);
    std::vector<Slice> measured;
    for (std::int64_t s = 0; s < slices; ++s) {
        bool silent = s % phaseSlices >= soundSlices;
        run.signal().holdSilent(silent);
        double cost = 0.0;
        std::int64_t frames = 0;
        while (frames < sliceFrames) {
            churn.beforeBlock();
            int n = churn.frames();
            double before = threadCost();
            run.process(n);
            cost += threadCost() - before;
            frames += n;
        }
        measured.push_back({cost / static_cast<double>(frames), silent});
    }
    // The first tenth warms caches and fills the plug-in's buffers.
    const auto fifth = static_cast<std::ptrdiff_t>(measured.size() / 5);
    const auto tenth = static_cast<std::ptrdiff_t>(measured.size() / 10);
    auto costs = [](auto begin, auto end, auto keep) {
        std::vector<double> values;
        for (auto it = begin; it != end; ++it) {
            if (keep(*it)) {
                values.push_back(it->costPerFrame);
            }
        }
        return median(values);
    };
    auto all = [](const Slice&) { return true; };
    double early = costs(measured.begin() + tenth, measured.begin() + tenth + fifth, all);
    double late = costs(measured.end() - fifth, measured.end(), all);
    double sounding =
        costs(measured.begin() + tenth, measured.end(), [](const Slice& s) { return !s.silent; });
    double silentCost =
        costs(measured.begin() + tenth, measured.end(), [](const Slice& s) { return s.silent; });
    double lateRatio = late / early;
    double silentRatio = silentCost / sounding;
    std::ostringstream text;
    text.precision(3);
    text << seconds << " s of audio in " << run.blocks() << " blocks, " << churn.parameterChanges
         << " parameter changes, " << churn.programChanges << " program changes, " << churn.jumps
         << " position jumps; CPU per frame " << early << " " << kCostUnit << " early, " << late << " late (x"
         << lateRatio << "), silent x" << silentRatio << " of sounding; peak " << run.peak();
    if (!(lateRatio <= kLateOverEarlyLimit) || !(silentRatio <= kSilentOverSoundingLimit)) {
        failCheck("processing cost is not flat: " + text.str());
    }
    return text.str();
}

}  // namespace

void runSoakCheck(ValidationRunner& runner, const ValidationContext& context, double seconds) {
    if (seconds > 0.0) {
        // The soak may take as long as its audio plays, on top of the usual limit.
        runner.run(
            "soak/run", [&] { return soak(context, seconds); },
            std::chrono::milliseconds(static_cast<long long>(seconds * 1000)));
    }
}

}  // namespace tramvek
