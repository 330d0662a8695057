// The built plug-in library, loaded the way a host loads it, and a host
// callback that answers like a simple host and records what it was asked.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "host/vst2.h"

namespace tramvek::testing {

using PluginEntry = AEffect*(VST_CALLBACK*)(AudioMasterCallback audioMaster);

class LoadedPlugin {
  public:
    LoadedPlugin();
    ~LoadedPlugin();
    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;

    bool loaded() const { return handle != nullptr; }
    // The exported function of that name, or null.
    PluginEntry entry(const char* name) const;

  private:
    void* handle = nullptr;
};

// Answers audioMasterVersion with `version` and audioMasterGetTime with a
// playing transport at 120 beats per minute; records every call, from any
// thread (read the records once the plug-in's other threads are done).
struct FakeHost {
    static VstIntPtr VST_CALLBACK callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                           void* ptr, float opt);
    static void clear();

    static inline VstIntPtr version = 2400;
    static inline std::vector<VstInt32> opcodes;
    static inline std::vector<VstInt32> indexes;
    static inline std::vector<VstIntPtr> values;
    static inline std::vector<float> opts;
    static inline std::vector<AEffect*> effects;
    static inline VstTimeInfo time{};
    static inline std::mutex recording;
};

}  // namespace tramvek::testing
