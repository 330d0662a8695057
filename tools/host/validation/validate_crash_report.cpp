#include "validation/validate_crash_report.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#include <csignal>
#endif

namespace tramvek {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitizerReportsCrashes = true;
#else
constexpr bool kSanitizerReportsCrashes = false;
#endif

std::array<char, 4096> preparedText{};
std::size_t preparedLength = 0;
bool installed = false;

void writePrepared() {
    std::size_t done = 0;
    while (done < preparedLength) {
#ifdef _WIN32
        int written = _write(1, preparedText.data() + done, static_cast<unsigned>(preparedLength - done));
#else
        ssize_t written = ::write(1, preparedText.data() + done, preparedLength - done);
#endif
        if (written <= 0) {
            return;
        }
        done += static_cast<std::size_t>(written);
    }
}

#ifdef _WIN32
LONG WINAPI onUnhandledException(EXCEPTION_POINTERS*) {
    writePrepared();
    _exit(3);
}

void install() {
    SetUnhandledExceptionFilter(onUnhandledException);
}
#else
void onFatalSignal(int) {
    writePrepared();
    _exit(3);
}

void install() {
    for (int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) {
        std::signal(signal, onFatalSignal);
    }
}
#endif

}  // namespace

void prepareCrashReport(const std::string& text) {
    if (kSanitizerReportsCrashes) {
        return;
    }
    std::fflush(stdout);
    preparedLength = std::min(text.size(), preparedText.size());
    std::copy_n(text.begin(), preparedLength, preparedText.begin());
    if (!installed) {
        install();
        installed = true;
    }
}

}  // namespace tramvek
