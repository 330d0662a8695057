// `validate`: run the validation checks on a plug-in and print one line per
// check and the closing tally (or a JSON report).
#pragma once

#include <ostream>

#include "validation/validate_options.h"

namespace tramvek {

// Throws HostError for options out of range; answers whether every check passed.
bool runValidate(const ValidateOptions& options, std::ostream& out);

}  // namespace tramvek
