// A host callback that records every request it receives and answers with a
// value the test chooses. One recorder is active at a time.
#pragma once

#include <vector>

#include "host/vst2.h"

namespace tramvek::testing {

struct HostRequest {
    AEffect* effect;
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    void* ptr;
    float opt;
};

class RecordingHost {
  public:
    RecordingHost() { active = this; }
    ~RecordingHost() { active = nullptr; }
    RecordingHost(const RecordingHost&) = delete;
    RecordingHost& operator=(const RecordingHost&) = delete;

    static VstIntPtr VST_CALLBACK callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                           void* ptr, float opt) {
        RecordingHost* host = active;
        host->requests.push_back({effect, opcode, index, value, ptr, opt});
        return host->answer;
    }

    std::vector<HostRequest> requests;
    VstIntPtr answer = 0;

  private:
    static inline RecordingHost* active = nullptr;
};

}  // namespace tramvek::testing
