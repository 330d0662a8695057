// The plug-in as LV2 hosts see it: the engine with its ports, its MIDI and
// transport inputs and its saved state.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <lv2/atom/atom.h>
#include <lv2/atom/forge.h>
#include <lv2/core/lv2.h>
#include <lv2/log/logger.h>
#include <lv2/state/state.h>

#include "engine/engine_view.h"
#include "engine/slicer_engine.h"
#include "params/parameter_table.h"
#include "plugin/lv2/host_transport.h"
#include "plugin/lv2/lv2_identity.h"
#include "plugin/lv2/lv2_uris.h"

namespace tramvek::lv2 {

class Lv2Slicer {
  public:
    // Null when the host gives no URID map or the engine has no buffers.
    static std::unique_ptr<Lv2Slicer> create(double sampleRate, const LV2_Feature* const* features);

    void connect(std::uint32_t port, void* data);
    void activate();
    void deactivate();
    void run(std::uint32_t frames);

    // The state interface's calls (lv2_state.cpp), with the host's features for files.
    LV2_State_Status save(LV2_State_Store_Function store, LV2_State_Handle handle,
                          const LV2_Feature* const* features);
    LV2_State_Status restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle,
                             const LV2_Feature* const* features);

  private:
    std::string readRecordedAudio(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle,
                                  const LV2_Feature* const* features, std::vector<std::uint8_t>& left,
                                  std::vector<std::uint8_t>& right);

    Lv2Slicer(double sampleRate, const LV2_URID_Map& map, LV2_Log_Log* log);

    // A control port's value reaches the engine when it changes; until then
    // the engine keeps what it has (its defaults, a restored state).
    void applyControlPorts();
    // A new value on the program port selects that program (its stored
    // parameters), before the control ports' changes of the same block.
    void applyProgramPort();
    // The editor's edits and view requests from the command port.
    void applyCommands();
    // A view on the notify port when one was asked for and there is news.
    void writeView(std::uint32_t frames);
    // The block's frames [begin, end): the MIDI events that fall there (the
    // last segment takes the rest), at their frames, then the audio.
    void runSegment(std::uint32_t begin, std::uint32_t end, bool last);

    std::unique_ptr<SlicerEngine> engine_;
    Uris uris_;
    // The host's log, or standard error where the host has none (state restores only).
    LV2_Log_Logger logger_ = {};
    double sampleRate_;
    HostTransport transport_;
    float* audio_[4] = {};
    const float* controls_[kParameterCount] = {};
    float appliedControls_[kParameterCount] = {};
    const float* programPort_ = nullptr;
    float appliedProgram_ = 1.0f;  // the port's default: the engine starts on the first program
    const LV2_Atom_Sequence* midiPort_ = nullptr;
    const LV2_Atom_Sequence* timePort_ = nullptr;
    const LV2_Atom_Sequence* commandPort_ = nullptr;
    LV2_Atom_Sequence* notifyPort_ = nullptr;
    LV2_Atom_Forge forge_ = {};
    // Filled on the audio thread, so it lives here rather than on its stack.
    EngineView view_;
    // Views go out on request, at most every viewInterval_ frames unless edited since.
    bool viewRequested_ = false;
    bool editedSinceView_ = false;
    std::uint32_t viewInterval_;
    std::uint32_t framesSinceView_;
    // The next MIDI event of the block being run.
    const LV2_Atom_Event* nextMidi_ = nullptr;
};

}  // namespace tramvek::lv2
