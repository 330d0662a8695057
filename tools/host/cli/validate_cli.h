// The `validate` subcommand's command line.
#pragma once

#include <CLI/CLI.hpp>

#include "validation/validate_options.h"

namespace tramvek {

CLI::App* addValidateCommand(CLI::App& app, ValidateOptions& options);

}  // namespace tramvek
