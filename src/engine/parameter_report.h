// Where the engine tells its plug-in of a parameter it changed itself (a
// learned MIDI controller moved it), so that the host can record the move.
#pragma once

#include <cstdint>

namespace tramvek {

class ParameterReport {
  public:
    // Audio thread: neither allocates nor locks.
    virtual void parameterMovedByMidi(std::int32_t index, float value) = 0;

  protected:
    ~ParameterReport() = default;
};

}  // namespace tramvek
