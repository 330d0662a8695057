#pragma once

#include <cstdint>

namespace tramvek {

// The millisecond tick counter and sleep of the raster back end.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual uint32_t tickCount() = 0;
    virtual void sleep(uint32_t milliseconds) = 0;
};

// Monotonic time of the machine.
class SystemClock : public Clock {
  public:
    uint32_t tickCount() override;
    void sleep(uint32_t milliseconds) override;
};

}  // namespace tramvek
