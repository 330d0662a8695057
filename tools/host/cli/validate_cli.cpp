#include "cli/validate_cli.h"

namespace tramvek {

CLI::App* addValidateCommand(CLI::App& app, ValidateOptions& options) {
    CLI::App* command = app.add_subcommand("validate", "run a validation suite on a plug-in");
    // Windows builds take "/work/x.dll" for a path (run under Wine), not an option.
    command->allow_windows_style_options(false);
    command->add_option("PLUGIN", options.plugin, "plug-in library")->required();
    command
        ->add_option("--strictness", options.strictness, "1..10: how much work each check does (default 5)")
        ->check(CLI::Range(1, 10));
    command->add_option("--seed", options.seed, "seed of the random values (default 1)");
    command->add_option("--watchdog", options.watchdogSeconds, "seconds one check may take (default 120)");
    command->add_flag("--json", options.json, "print a JSON report instead of lines");
    command->add_option("--only", options.only,
                        "run only the checks whose names start with this, e.g. audio/");
    command->add_option(
        "--soak", options.soakSeconds,
        "also run a soak of this many seconds: one instance, everything changing, CPU per frame "
        "compared between the start and the end");
    return command;
}

}  // namespace tramvek
