// One loaded plug-in: the library, the AEffect record its entry returned, and
// the dispatcher calls a host makes. Destruction stops processing, sends
// effClose and unloads the library, in that order.
#pragma once

#include <string>

#include "host/vst2.h"
#include "hosting/host_callback.h"
#include "hosting/plugin_library.h"

namespace tramvek {

class PluginInstance {
  public:
    PluginInstance(const std::string& path, HostContext& host);
    ~PluginInstance();
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    AEffect& effect() { return *effect_; }
    const AEffect& effect() const { return *effect_; }
    bool hasFlag(VstInt32 flag) const { return (effect_->flags & flag) != 0; }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f);

    // A text answer. Plug-ins often write past the sizes the interface names,
    // so the buffer is far larger than any of them and starts zeroed.
    std::string text(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0);

    // effMainsChanged 1 and 0; the destructor suspends a resumed plug-in.
    void resume();
    void suspend();

    // A program's name, by index where the plug-in answers that, else by
    // selecting it and restoring the current program.
    std::string programName(VstInt32 program);

  private:
    PluginLibrary library_;
    AEffect* effect_ = nullptr;
    bool resumed_ = false;
};

}  // namespace tramvek
