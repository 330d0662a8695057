// Opening and closing: the way hosts scan plug-ins (entry, questions, close),
// cold starts that load and unload the library each time, and warm starts
// beside an instance that stays open.
#include <vector>

#include "validation/validate_audio.h"
#include "validation/validate_checks.h"

namespace tramvek {
namespace {

void openProcessClose(const ValidationContext& context, std::uint64_t seed) {
    std::unique_ptr<OpenPlugin> plugin = openPlugin(context);
    AudioRun run(*plugin, seed);
    run.process(plugin->maxBlock());
}

std::string scanCycles(const ValidationContext& context) {
    int cycles = context.scaled(20);
    for (int i = 0; i < cycles; ++i) {
        HostContext host;
        PluginInstance plugin(context.plugin(), host);
        plugin.text(effGetEffectName);
        plugin.text(effGetVendorString);
        plugin.dispatch(effGetVstVersion);
    }
    return std::to_string(cycles) + " scans without effOpen";
}

std::string coldCycles(const ValidationContext& context) {
    int cycles = context.scaled(20);
    for (int i = 0; i < cycles; ++i) {
        openProcessClose(context, static_cast<std::uint64_t>(i));
    }
    return std::to_string(cycles) + " cycles of load, open, process, close, unload";
}

std::string warmCycles(const ValidationContext& context) {
    std::unique_ptr<OpenPlugin> keeper = openPlugin(context);
    AudioRun keeperRun(*keeper, 1);
    int cycles = context.scaled(20);
    for (int i = 0; i < cycles; ++i) {
        openProcessClose(context, static_cast<std::uint64_t>(i));
        keeperRun.process(keeper->maxBlock());
    }
    int together = context.scaled(8);
    std::vector<std::unique_ptr<OpenPlugin>> open;
    std::vector<std::unique_ptr<AudioRun>> runs;
    for (int i = 0; i < together; ++i) {
        open.push_back(openPlugin(context));
        runs.push_back(std::make_unique<AudioRun>(*open.back(), static_cast<std::uint64_t>(i)));
    }
    for (int round = 0; round < 4; ++round) {
        for (auto& run : runs) {
            run->process(kDefaultMaxBlock);
        }
    }
    runs.clear();
    // Closed in the order opened, not the reverse: hosts do either.
    for (auto& plugin : open) {
        plugin.reset();
    }
    keeperRun.process(keeper->maxBlock());
    return std::to_string(cycles) + " cycles beside an open instance, then " + std::to_string(together + 1) +
           " instances at once";
}

}  // namespace

void runLifecycleChecks(ValidationRunner& runner, const ValidationContext& context) {
    runner.run("open-close/scan", [&] { return scanCycles(context); });
    runner.run("open-close/cold", [&] { return coldCycles(context); });
    runner.run("open-close/warm", [&] { return warmCycles(context); });
}

}  // namespace tramvek
