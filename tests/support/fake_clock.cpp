#include "support/fake_clock.h"

namespace tramvek {

void FakeClock::sleep(uint32_t milliseconds) {
    now_ += milliseconds;
    ++sleepCount_;
    totalSlept_ += milliseconds;
}

}  // namespace tramvek
