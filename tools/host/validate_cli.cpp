#include "validate_cli.h"

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
    return command;
}

}  // namespace tramvek
