// When a plug-in crashes the host process, the run still ends with a FAIL line
// for the check that was running and the closing tally. The text is prepared
// before each check, because a crash handler may only copy bytes out.
// Sanitizer builds keep their own, more useful, crash reports.
#pragma once

#include <string>

namespace tramvek {

// Installs the handlers once; later calls only replace the prepared text.
void prepareCrashReport(const std::string& text);

}  // namespace tramvek
