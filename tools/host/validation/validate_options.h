// The settings of a validation run.
#pragma once

#include <cstdint>
#include <string>

namespace tramvek {

struct ValidateOptions {
    std::string plugin;
    // 1..10: how much work every check does (cycles, seconds of audio, values).
    int strictness = 5;
    std::uint64_t seed = 1;
    bool json = false;
    // Only the checks whose names start with this (all when empty).
    std::string only;
    // Seconds of the soak check; 0 leaves it out.
    double soakSeconds = 0.0;
    // Longest time one check may take before the run is declared hung.
    double watchdogSeconds = 120.0;
};

}  // namespace tramvek
