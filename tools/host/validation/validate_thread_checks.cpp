// The user-interface thread at work while the audio thread processes:
// automation, program changes, text queries, and saving and loading state,
// as hosts do when the user edits or saves a song during playback.
#include <chrono>
#include <random>
#include <vector>

#include "validation/validate_background_audio.h"
#include "validation/validate_checks.h"
#include "validation/validate_text.h"

namespace tramvek {
namespace {

using Clock = std::chrono::steady_clock;

std::chrono::milliseconds busyTime(const ValidationContext& context) {
    return std::chrono::milliseconds(static_cast<int>(2000 * context.audioSeconds()));
}

std::string parametersWhileProcessing(const ValidationContext& context) {
    std::mt19937_64 random = context.random("threads/parameters-while-processing");
    std::unique_ptr<OpenPlugin> open = openPlugin(context);
    AEffect& e = open->effect();
    if (e.numParams <= 0 && e.numPrograms <= 0) {
        skipCheck("no parameters and no programs to change");
    }
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    long calls = 0;
    BackgroundAudio audio(*open, random());
    for (auto end = Clock::now() + busyTime(context); Clock::now() < end;) {
        if (e.numParams > 0) {
            auto index = std::uniform_int_distribution<VstInt32>(0, e.numParams - 1)(random);
            e.setParameter(&e, index, unit(random));
            e.getParameter(&e, index);
            GuardedText display = queryGuardedText(open->plugin(), effGetParamDisplay, index);
            if (std::string overrun = textOverrun(display, kParamTextSize); !overrun.empty()) {
                failCheck("parameter " + std::to_string(index) + " display: " + overrun);
            }
        }
        if (e.numPrograms > 0 && std::uniform_int_distribution<int>(0, 20)(random) == 0) {
            open->plugin().dispatch(effSetProgram, 0,
                                    std::uniform_int_distribution<VstInt32>(0, e.numPrograms - 1)(random));
            queryGuardedText(open->plugin(), effGetProgramName);
        }
        ++calls;
    }
    audio.stopAndCheck();
    return std::to_string(calls) + " rounds of changes during " + std::to_string(audio.blocks()) +
           " blocks on the audio thread";
}

std::string stateWhileProcessing(const ValidationContext& context) {
    std::mt19937_64 random = context.random("threads/state-while-processing");
    std::unique_ptr<OpenPlugin> open = openPlugin(context);
    if (!open->hasChunks()) {
        skipCheck("the plug-in keeps its state in parameters, not chunks");
    }
    long saves = 0;
    BackgroundAudio audio(*open, random());
    for (auto end = Clock::now() + busyTime(context); Clock::now() < end; ++saves) {
        VstInt32 index = std::uniform_int_distribution<VstInt32>(0, 1)(random);
        void* data = nullptr;
        VstIntPtr size = open->plugin().dispatch(effGetChunk, index, 0, &data);
        if (data == nullptr || size <= 0) {
            failCheck("no chunk while processing");
        }
        // The host's own copy, loaded back as a song or preset load would.
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        std::vector<std::uint8_t> copy(bytes, bytes + size);
        open->plugin().dispatch(effSetChunk, index, size, copy.data());
    }
    audio.stopAndCheck();
    return std::to_string(saves) + " chunk saves and loads during " + std::to_string(audio.blocks()) +
           " blocks on the audio thread";
}

}  // namespace

void runThreadChecks(ValidationRunner& runner, const ValidationContext& context) {
    runner.run("threads/parameters-while-processing", [&] { return parametersWhileProcessing(context); });
    runner.run("threads/state-while-processing", [&] { return stateWhileProcessing(context); });
}

}  // namespace tramvek
