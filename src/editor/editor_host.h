// What the editor needs from whatever hosts it (a plug-in format's adapter, or
// a test): every edit of a parameter, told to the host as the user makes it so
// that the host can record it; every other edit as a command for the engine;
// the engine's latest view to draw; and turns for the host's own idle
// processing while a mouse loop holds the editor's thread. The host in turn
// opens the editor in its window and gives it idle, keys and the wheel
// (FramedEditor), and tells it of program and state changes.
//
// All calls come from the editor's thread.
#pragma once

#include <cstdint>

#include "engine/engine_command.h"
#include "engine/engine_view.h"

namespace tramvek {

class EditorHost {
  public:
    // One gesture on parameter `index`: begin, any number of performs, end.
    // A perform sets the value on the engine and tells the host.
    virtual void beginEdit(std::int32_t index) = 0;
    virtual void performEdit(std::int32_t index, float value) = 0;
    virtual void endEdit(std::int32_t index) = 0;
    // Any other edit; the engine carries it out in the order sent.
    virtual void send(const EngineCommand& command) = 0;
    // What the engine last published; valid until the next call.
    virtual const EngineView& view() = 0;
    // Makes `samples` samples of each channel (at view().snapshot.sampleRate)
    // the frozen pattern, freeze on; the audio thread takes them whole. False
    // when the engine refused them (nothing changed), or the host has no way
    // to carry audio to the engine.
    virtual bool freezeAudio(const float*, const float*, std::int32_t) { return false; }
    // Runs the host's idle processing (from the editor's idle pump).
    virtual void hostIdle() = 0;

    // A gesture of one step (a wheel notch).
    void edit(std::int32_t index, float value) {
        beginEdit(index);
        performEdit(index, value);
        endEdit(index);
    }

  protected:
    ~EditorHost() = default;
};

}  // namespace tramvek
