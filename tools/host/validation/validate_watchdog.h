// A timer per check: when a check has not come back within its limit, the
// plug-in is hung inside a call that cannot be interrupted, so the watchdog
// reports it and ends the process.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace tramvek {

class Watchdog {
  public:
    using OnTimeout = std::function<void(const std::string& checkName)>;

    explicit Watchdog(OnTimeout onTimeout);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    void arm(const std::string& checkName, std::chrono::milliseconds limit);
    void disarm();

  private:
    void watch();

    OnTimeout onTimeout_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::string checkName_;
    std::chrono::steady_clock::time_point deadline_;
    bool armed_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace tramvek
