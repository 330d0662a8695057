// Parameters: values no host should send but some do (outside 0..1, huge,
// infinite, NaN, subnormal), indexes outside the declared range, and
// automation of every parameter while audio runs.
#include <cmath>
#include <limits>
#include <random>

#include "validation/validate_audio.h"
#include "validation/validate_checks.h"
#include "validation/validate_text.h"

namespace tramvek {
namespace {

void requireParameters(const AEffect& e) {
    if (e.numParams <= 0) {
        skipCheck("the plug-in declares no parameters");
    }
}

void expectDisplayFits(PluginInstance& plugin, VstInt32 index, const std::string& when) {
    for (VstInt32 opcode : {effGetParamDisplay, effGetParamName, effGetParamLabel}) {
        GuardedText text = queryGuardedText(plugin, opcode, index);
        if (std::string overrun = textOverrun(text, kParamTextSize); !overrun.empty()) {
            failCheck("parameter " + std::to_string(index) + " text " + when + ": " + overrun);
        }
    }
}

std::string fuzzValues(const ValidationContext& context) {
    std::mt19937_64 random = context.random("params/fuzz-values");
    std::unique_ptr<OpenPlugin> open = openPlugin(context);
    AEffect& e = open->effect();
    requireParameters(e);
    AudioRun run(*open, random());
    constexpr float kInf = std::numeric_limits<float>::infinity();
    const float badValues[] = {-1.0f,
                               2.0f,
                               -1e30f,
                               1e30f,
                               std::numeric_limits<float>::max(),
                               -std::numeric_limits<float>::max(),
                               kInf,
                               -kInf,
                               std::numeric_limits<float>::quiet_NaN(),
                               -std::numeric_limits<float>::quiet_NaN(),
                               std::numeric_limits<float>::denorm_min(),
                               -0.0f,
                               1.0000001f,
                               -1e-7f};
    int rounds = context.scaled(3);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    for (int round = 0; round < rounds; ++round) {
        for (float bad : badValues) {
            for (VstInt32 i = 0; i < e.numParams; ++i) {
                e.setParameter(&e, i, bad);
                e.getParameter(&e, i);
                expectDisplayFits(open->plugin(), i, "after setParameter(" + std::to_string(bad) + ")");
            }
            run.process(open->maxBlock());
            run.process(open->maxBlock());
            // One parameter bad at a time as well, the others sound.
            for (VstInt32 i = 0; i < e.numParams; ++i) {
                e.setParameter(&e, i, unit(random));
            }
            e.setParameter(&e, std::uniform_int_distribution<VstInt32>(0, e.numParams - 1)(random), bad);
            run.process(open->maxBlock());
        }
    }
    // Back to sound values: the plug-in must recover.
    for (VstInt32 i = 0; i < e.numParams; ++i) {
        e.setParameter(&e, i, unit(random));
    }
    run.processFor(context.audioSeconds(), open->maxBlock());
    return std::to_string(std::size(badValues)) + " bad values on " + std::to_string(e.numParams) +
           " parameters, " + std::to_string(rounds) + " rounds, output stayed sound";
}

std::string badIndexes(const ValidationContext& context) {
    std::unique_ptr<OpenPlugin> open = openPlugin(context);
    AEffect& e = open->effect();
    if (e.setParameter == nullptr || e.getParameter == nullptr) {
        skipCheck("the plug-in has no parameter entries");
    }
    AudioRun run(*open, 21);
    for (VstInt32 index : {e.numParams, e.numParams + 1, e.numParams + 1000, -1,
                           std::numeric_limits<VstInt32>::min(), std::numeric_limits<VstInt32>::max()}) {
        e.setParameter(&e, index, 0.5f);
        e.getParameter(&e, index);
        expectDisplayFits(open->plugin(), index, "for an index outside the range");
        open->plugin().dispatch(effCanBeAutomated, index);
        run.process(open->maxBlock());
    }
    return "6 indexes outside 0.." + std::to_string(e.numParams - 1) + " ignored safely";
}

std::string automation(const ValidationContext& context) {
    std::mt19937_64 random = context.random("params/automation");
    std::unique_ptr<OpenPlugin> open = openPlugin(context);
    AEffect& e = open->effect();
    requireParameters(e);
    AudioRun run(*open, random());
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    auto total = static_cast<std::int64_t>(4 * context.audioSeconds() * kDefaultSampleRate);
    int programChanges = 0;
    for (std::int64_t done = 0; done < total;) {
        int changes = std::uniform_int_distribution<int>(1, e.numParams)(random);
        for (int c = 0; c < changes; ++c) {
            e.setParameter(&e, std::uniform_int_distribution<VstInt32>(0, e.numParams - 1)(random),
                           unit(random));
        }
        if (e.numPrograms > 0 && std::uniform_int_distribution<int>(0, 49)(random) == 0) {
            open->plugin().dispatch(effSetProgram, 0,
                                    std::uniform_int_distribution<VstInt32>(0, e.numPrograms - 1)(random));
            ++programChanges;
        }
        int frames = std::uniform_int_distribution<int>(1, kDefaultMaxBlock)(random);
        run.process(frames);
        done += frames;
    }
    return std::to_string(run.blocks()) + " blocks with parameter changes before each, " +
           std::to_string(programChanges) + " program changes";
}

}  // namespace

void runParameterChecks(ValidationRunner& runner, const ValidationContext& context) {
    runner.run("params/fuzz-values", [&] { return fuzzValues(context); });
    runner.run("params/bad-indexes", [&] { return badIndexes(context); });
    runner.run("params/automation", [&] { return automation(context); });
}

}  // namespace tramvek
