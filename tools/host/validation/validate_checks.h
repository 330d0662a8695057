// The groups of checks a validation runs, in this order. Each check opens the
// plug-in it needs, so a fault in one leaves the others unaffected.
#pragma once

#include "validation/validate_context.h"
#include "validation/validate_runner.h"

namespace tramvek {

void runLifecycleChecks(ValidationRunner& runner, const ValidationContext& context);
void runInfoChecks(ValidationRunner& runner, const ValidationContext& context);
void runProgramChecks(ValidationRunner& runner, const ValidationContext& context);
void runStateChecks(ValidationRunner& runner, const ValidationContext& context);
void runAudioChecks(ValidationRunner& runner, const ValidationContext& context);
void runParameterChecks(ValidationRunner& runner, const ValidationContext& context);
void runMidiChecks(ValidationRunner& runner, const ValidationContext& context);
void runThreadChecks(ValidationRunner& runner, const ValidationContext& context);
void runEditorChecks(ValidationRunner& runner, const ValidationContext& context);
// Only when `seconds` > 0.
void runSoakCheck(ValidationRunner& runner, const ValidationContext& context, double seconds);

}  // namespace tramvek
