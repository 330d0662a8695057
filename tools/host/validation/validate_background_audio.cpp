#include "validation/validate_background_audio.h"

#include <random>

#include "validation/validate_runner.h"

namespace tramvek {

BackgroundAudio::BackgroundAudio(OpenPlugin& plugin, std::uint64_t seed)
    : plugin_(plugin), run_(plugin, seed), seed_(seed), thread_([this] { loop(); }) {}

BackgroundAudio::~BackgroundAudio() {
    stop_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
}

void BackgroundAudio::loop() {
    std::mt19937_64 random(seed_);
    std::uniform_int_distribution<int> frames(1, plugin_.maxBlock());
    try {
        while (!stop_.load()) {
            run_.process(frames(random));
            blocks_.fetch_add(1);
        }
    } catch (const std::exception& e) {
        fault_ = e.what();
    }
}

void BackgroundAudio::stopAndCheck() {
    stop_ = true;
    thread_.join();
    if (!fault_.empty()) {
        failCheck("on the audio thread: " + fault_);
    }
}

}  // namespace tramvek
