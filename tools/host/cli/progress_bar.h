// A progress bar on standard error, drawn only when that is a terminal and
// only once the work has taken long enough for a person to wonder.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>

namespace tramvek {

class ProgressBar {
  public:
    explicit ProgressBar(std::uint64_t total, std::FILE* out = stderr);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void update(std::uint64_t done);

  private:
    using Clock = std::chrono::steady_clock;

    std::uint64_t total_;
    std::FILE* out_;
    bool terminal_;
    bool drawn_ = false;
    Clock::time_point start_;
    Clock::time_point lastDraw_;
};

}  // namespace tramvek
