#pragma once

#include <cstdint>

namespace tramvek {

// Where a voice's amplitude ramp is; stored as a plain int in the voice.
enum EnvelopeStage : std::int32_t { kEnvelopeHold = 0, kEnvelopeRelease = 1, kEnvelopeAttack = 2 };

}  // namespace tramvek
