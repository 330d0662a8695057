// Audio processed on a thread of its own, the way a host's audio thread runs
// beside its user-interface thread. A fault found there is kept and reported
// when the thread is stopped.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "validation/validate_audio.h"

namespace tramvek {

class BackgroundAudio {
  public:
    BackgroundAudio(OpenPlugin& plugin, std::uint64_t seed);
    ~BackgroundAudio();
    BackgroundAudio(const BackgroundAudio&) = delete;
    BackgroundAudio& operator=(const BackgroundAudio&) = delete;

    // Joins the thread; fails the check with the audio thread's fault, if any.
    void stopAndCheck();
    std::int64_t blocks() const { return blocks_.load(); }

  private:
    void loop();

    OpenPlugin& plugin_;
    AudioRun run_;
    std::uint64_t seed_;
    std::atomic<bool> stop_{false};
    std::atomic<std::int64_t> blocks_{0};
    std::string fault_;
    std::thread thread_;
};

}  // namespace tramvek
