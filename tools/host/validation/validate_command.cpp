#include "validation/validate_command.h"

#include <chrono>

#include "host_error.h"
#include "validation/validate_checks.h"

namespace tramvek {

bool runValidate(const ValidateOptions& options, std::ostream& out) {
    if (options.strictness < 1 || options.strictness > 10) {
        throw HostError("--strictness must be 1..10");
    }
    if (!(options.soakSeconds >= 0.0)) {
        throw HostError("--soak must be 0 or more seconds");
    }
    if (!(options.watchdogSeconds > 0.0)) {
        throw HostError("--watchdog must be a positive number of seconds");
    }
    ValidationContext context(options);
    ValidationRunner runner(
        out, options.json, std::chrono::milliseconds(static_cast<long long>(options.watchdogSeconds * 1000)));
    runner.begin({options.plugin, options.strictness, static_cast<unsigned long long>(options.seed)});
    runner.selectOnly(options.only);
    runLifecycleChecks(runner, context);
    runInfoChecks(runner, context);
    runProgramChecks(runner, context);
    runStateChecks(runner, context);
    runAudioChecks(runner, context);
    runParameterChecks(runner, context);
    runMidiChecks(runner, context);
    runThreadChecks(runner, context);
    runEditorChecks(runner, context);
    runSoakCheck(runner, context, options.soakSeconds);
    return runner.finish();
}

}  // namespace tramvek
