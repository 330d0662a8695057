// What the host answers when a plug-in calls back: version, time, sample rate,
// block size, capabilities and names. One HostContext serves one plug-in; it is
// found through AEffect::user, which belongs to the host.
#pragma once

#include "host/vst2.h"

namespace tramvek {

class HostContext {
  public:
    VstTimeInfo timeInfo{};
    float sampleRate = 44100.0f;
    VstInt32 blockSize = 512;
    bool midiWanted = false;

    // Binds the context to a plug-in record the entry returned.
    void attach(AEffect* effect);

    static VstIntPtr VST_CALLBACK callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                           void* ptr, float opt);

    // While a plug-in's entry runs its record is not known yet: callbacks
    // without a bound record go to this context.
    class LoadingScope {
      public:
        explicit LoadingScope(HostContext& context);
        ~LoadingScope();
        LoadingScope(const LoadingScope&) = delete;
        LoadingScope& operator=(const LoadingScope&) = delete;
    };

  private:
    VstIntPtr answer(VstInt32 opcode, VstIntPtr value, void* ptr);
};

}  // namespace tramvek
