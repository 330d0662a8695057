// State: banks and presets saved, the parameters scrambled, the state loaded
// back (into the same instance and into a fresh one, as a song reload does)
// and saved again, byte for byte the same. Chunks that are cut short, padded
// or random must not harm a plug-in that takes chunks.
#include <algorithm>
#include <random>
#include <sstream>
#include <vector>

#include "formats/fx_file.h"
#include "formats/fx_plugin_state.h"
#include "validation/validate_audio.h"
#include "validation/validate_checks.h"

namespace tramvek {
namespace {

using Bytes = std::vector<std::uint8_t>;

void randomiseParameters(OpenPlugin& open, std::mt19937_64& random) {
    AEffect& e = open.effect();
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    for (VstInt32 i = 0; i < e.numParams; ++i) {
        e.setParameter(&e, i, unit(random));
    }
}

// Scrambles several programs, leaving `current` selected.
void randomisePrograms(OpenPlugin& open, std::mt19937_64& random, VstInt32 current) {
    const AEffect& e = open.effect();
    for (VstInt32 p = 0; p < std::min(e.numPrograms, 4); ++p) {
        open.plugin().dispatch(effSetProgram, 0, p);
        randomiseParameters(open, random);
    }
    open.plugin().dispatch(effSetProgram, 0, current);
    randomiseParameters(open, random);
}

std::vector<float> parameterValues(OpenPlugin& open) {
    AEffect& e = open.effect();
    std::vector<float> values;
    for (VstInt32 i = 0; i < e.numParams; ++i) {
        values.push_back(e.getParameter(&e, i));
    }
    return values;
}

void expectSameBytes(const Bytes& saved, const Bytes& again, const std::string& what) {
    if (saved.size() != again.size()) {
        failCheck(what + " saved again is " + std::to_string(again.size()) + " bytes, was " +
                  std::to_string(saved.size()));
    }
    auto mismatch = std::mismatch(saved.begin(), saved.end(), again.begin());
    if (mismatch.first != saved.end()) {
        failCheck(what + " saved again differs at byte " + std::to_string(mismatch.first - saved.begin()) +
                  " of " + std::to_string(saved.size()));
    }
}

void expectSameParameters(const std::vector<float>& saved, const std::vector<float>& again) {
    for (std::size_t i = 0; i < saved.size(); ++i) {
        if (saved[i] != again[i]) {
            std::ostringstream why;
            why.precision(9);
            why << "parameter " << i << " is " << again[i] << " after the load, was " << saved[i];
            failCheck(why.str());
        }
    }
}

// Audio first, so that the state holds what playing leaves behind.
std::unique_ptr<OpenPlugin> openPlayedPlugin(const ValidationContext& context, std::mt19937_64& random) {
    std::unique_ptr<OpenPlugin> open = openPlugin(context);
    AudioRun run(*open, random());
    run.processFor(context.audioSeconds(), open->maxBlock());
    return open;
}

std::string bankRoundTrip(const ValidationContext& context, bool freshInstance) {
    std::mt19937_64 random = context.random(freshInstance ? "state/bank-fresh" : "state/bank-same");
    int rounds = context.scaled(5);
    std::size_t size = 0;
    for (int round = 0; round < rounds; ++round) {
        std::unique_ptr<OpenPlugin> source = openPlayedPlugin(context, random);
        if (!source->hasChunks() && source->effect().numPrograms <= 0) {
            skipCheck("no chunks and no programs: there is no bank to save");
        }
        auto current = static_cast<VstInt32>(source->plugin().dispatch(effGetProgram));
        randomisePrograms(*source, random, current);
        FxBank bank = captureBank(source->plugin());
        Bytes saved = serializeBank(bank);
        std::vector<float> savedValues = parameterValues(*source);
        std::unique_ptr<OpenPlugin> fresh = freshInstance ? openPlugin(context) : nullptr;
        OpenPlugin& target = freshInstance ? *fresh : *source;
        randomisePrograms(target, random, current);
        applyBank(target.plugin(), bank);
        // A host selects the current program after loading a bank.
        target.plugin().dispatch(effSetProgram, 0, bank.currentProgram);
        expectSameParameters(savedValues, parameterValues(target));
        expectSameBytes(saved, serializeBank(captureBank(target.plugin())), "the bank");
        size = bank.opaque ? bank.chunk.size() : saved.size();
    }
    return std::to_string(rounds) + " banks of " + std::to_string(size) + " bytes restored byte for byte" +
           (freshInstance ? " into fresh instances" : "");
}

std::string presetRoundTrip(const ValidationContext& context, bool freshInstance) {
    std::mt19937_64 random = context.random(freshInstance ? "state/preset-fresh" : "state/preset-same");
    int rounds = context.scaled(10);
    for (int round = 0; round < rounds; ++round) {
        std::unique_ptr<OpenPlugin> source = openPlayedPlugin(context, random);
        randomiseParameters(*source, random);
        FxPreset preset = capturePreset(source->plugin());
        Bytes saved = serializePreset(preset);
        std::vector<float> savedValues = parameterValues(*source);
        std::unique_ptr<OpenPlugin> fresh = freshInstance ? openPlugin(context) : nullptr;
        OpenPlugin& target = freshInstance ? *fresh : *source;
        randomiseParameters(target, random);
        applyPreset(target.plugin(), preset);
        expectSameParameters(savedValues, parameterValues(target));
        expectSameBytes(saved, serializePreset(capturePreset(target.plugin())), "the preset");
    }
    return std::to_string(rounds) + " presets restored byte for byte" +
           (freshInstance ? " into fresh instances" : "");
}

Bytes chunkOf(PluginInstance& plugin, VstInt32 index) {
    void* data = nullptr;
    VstIntPtr size = plugin.dispatch(effGetChunk, index, 0, &data);
    if (data == nullptr || size <= 0) {
        failCheck(std::string("no ") + (index == 0 ? "bank" : "preset") + " chunk");
    }
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return {bytes, bytes + size};
}

std::vector<Bytes> malformedVariants(const Bytes& valid, std::mt19937_64& random) {
    std::uniform_int_distribution<int> byte(0, 255);
    auto randomBytes = [&](std::size_t size) {
        Bytes bytes(size);
        std::generate(bytes.begin(), bytes.end(), [&] { return static_cast<std::uint8_t>(byte(random)); });
        return bytes;
    };
    Bytes padded = valid;
    Bytes tail = randomBytes(4096);
    padded.insert(padded.end(), tail.begin(), tail.end());
    Bytes flipped = valid;
    for (int i = 0; i < 64 && !flipped.empty(); ++i) {
        flipped[std::uniform_int_distribution<std::size_t>(0, flipped.size() - 1)(random)] ^= 0xFF;
    }
    return {Bytes(1, 0),
            Bytes(valid.begin(), valid.begin() + static_cast<std::ptrdiff_t>(valid.size() / 2)),
            Bytes(valid.begin(), valid.end() - 1),
            padded,
            Bytes(valid.size(), 0xFF),
            randomBytes(valid.size()),
            flipped,
            randomBytes(4 * valid.size() + (1 << 20))};
}

std::string malformedChunks(const ValidationContext& context) {
    std::mt19937_64 random = context.random("state/malformed-chunks");
    std::unique_ptr<OpenPlugin> open = openPlayedPlugin(context, random);
    if (!open->hasChunks()) {
        skipCheck("the plug-in keeps its state in parameters, not chunks");
    }
    PluginInstance& plugin = open->plugin();
    AudioRun run(*open, random());
    int sent = 0;
    int rounds = context.scaled(4);
    for (VstInt32 index : {0, 1}) {
        Bytes valid = chunkOf(plugin, index);
        for (int round = 0; round < rounds; ++round) {
            for (Bytes& bad : malformedVariants(valid, random)) {
                plugin.dispatch(effSetChunk, index, static_cast<VstIntPtr>(bad.size()), bad.data());
                ++sent;
                run.process(open->maxBlock());
                run.process(open->maxBlock());
            }
        }
        // The state can still be restored whole afterwards.
        Bytes copy = valid;
        plugin.dispatch(effSetChunk, index, static_cast<VstIntPtr>(copy.size()), copy.data());
        if (index == 0) {
            expectSameBytes(valid, chunkOf(plugin, index), "after malformed chunks, the bank");
        }
    }
    return std::to_string(sent) +
           " malformed chunks taken without harm; the valid bank restores byte for byte";
}

}  // namespace

void runStateChecks(ValidationRunner& runner, const ValidationContext& context) {
    runner.run("state/bank-same-instance", [&] { return bankRoundTrip(context, false); });
    runner.run("state/bank-fresh-instance", [&] { return bankRoundTrip(context, true); });
    runner.run("state/preset-same-instance", [&] { return presetRoundTrip(context, false); });
    runner.run("state/preset-fresh-instance", [&] { return presetRoundTrip(context, true); });
    runner.run("state/malformed-chunks", [&] { return malformedChunks(context); });
}

}  // namespace tramvek
