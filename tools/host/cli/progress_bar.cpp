#include "cli/progress_bar.h"

#include <string>

#ifdef _WIN32
#include <io.h>
#define tramvek_isatty _isatty
#define tramvek_fileno _fileno
#else
#include <unistd.h>
#define tramvek_isatty isatty
#define tramvek_fileno fileno
#endif

namespace tramvek {
namespace {

constexpr auto kQuietPeriod = std::chrono::milliseconds(500);
constexpr auto kRedrawPeriod = std::chrono::milliseconds(100);
constexpr int kBarWidth = 40;

}  // namespace

ProgressBar::ProgressBar(std::uint64_t total, std::FILE* out)
    : total_(total), out_(out), terminal_(tramvek_isatty(tramvek_fileno(out)) != 0), start_(Clock::now()) {}

ProgressBar::~ProgressBar() {
    if (drawn_) {
        // Leave the terminal line clean for whatever is printed next.
        std::fprintf(out_, "\r%*s\r", kBarWidth + 16, "");
        std::fflush(out_);
    }
}

void ProgressBar::update(std::uint64_t done) {
    if (!terminal_ || total_ == 0) {
        return;
    }
    Clock::time_point now = Clock::now();
    if (now - start_ < kQuietPeriod || (drawn_ && now - lastDraw_ < kRedrawPeriod)) {
        return;
    }
    int filled = static_cast<int>(kBarWidth * done / total_);
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.resize(kBarWidth, '.');
    std::fprintf(out_, "\rrendering [%s] %3d%%", bar.c_str(), static_cast<int>(100 * done / total_));
    std::fflush(out_);
    drawn_ = true;
    lastDraw_ = now;
}

}  // namespace tramvek
