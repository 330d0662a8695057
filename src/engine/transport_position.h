// What the host says about its transport at the start of a block. The engine
// gets none (a null pointer) when the host does not answer; its clock then
// runs on from the previous block.
#pragma once

namespace tramvek {

struct TransportPosition {
    double ppqPos = 0.0;      // quarter notes from the song's start
    double sampleRate = 0.0;  // the host's own rate
    double tempo = 0.0;       // quarter notes per minute
    bool playing = true;
};

}  // namespace tramvek
