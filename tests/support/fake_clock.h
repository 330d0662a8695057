#pragma once

#include <cstdint>

#include "gui/raster/clock.h"

namespace tramvek {

// Time that moves only when told to: sleeping advances it at once.
class FakeClock : public Clock {
  public:
    uint32_t tickCount() override { return now_; }
    void sleep(uint32_t milliseconds) override;

    void set(uint32_t now) { now_ = now; }
    void advance(uint32_t milliseconds) { now_ += milliseconds; }
    int32_t sleepCount() const { return sleepCount_; }
    uint32_t totalSlept() const { return totalSlept_; }

  private:
    uint32_t now_ = 0;
    int32_t sleepCount_ = 0;
    uint32_t totalSlept_ = 0;
};

}  // namespace tramvek
