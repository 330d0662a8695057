#include "validation/validate_watchdog.h"

namespace tramvek {

Watchdog::Watchdog(OnTimeout onTimeout) : onTimeout_(std::move(onTimeout)), thread_([this] { watch(); }) {}

Watchdog::~Watchdog() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void Watchdog::arm(const std::string& checkName, std::chrono::milliseconds limit) {
    {
        std::lock_guard lock(mutex_);
        checkName_ = checkName;
        deadline_ = std::chrono::steady_clock::now() + limit;
        armed_ = true;
    }
    wake_.notify_all();
}

void Watchdog::disarm() {
    std::lock_guard lock(mutex_);
    armed_ = false;
}

void Watchdog::watch() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (!armed_) {
            wake_.wait(lock);
            continue;
        }
        if (wake_.wait_until(lock, deadline_) == std::cv_status::timeout && armed_ && !stopping_ &&
            std::chrono::steady_clock::now() >= deadline_) {
            std::string name = checkName_;
            lock.unlock();
            onTimeout_(name);  // does not return
            lock.lock();
        }
    }
}

}  // namespace tramvek
