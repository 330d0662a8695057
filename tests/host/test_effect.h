// A minimal effect on the extended base layer that records what the
// dispatcher asked of it, so the binding is tested without the engine.
#pragma once

#include <cstring>
#include <string>

#include "host/editor_base.h"
#include "host/extended_effect_base.h"

namespace tramvek::testing {

class TestEffect : public ExtendedEffectBase {
  public:
    explicit TestEffect(AudioMasterCallback audioMaster = nullptr, bool* destroyed = nullptr)
        : ExtendedEffectBase(audioMaster, 16, 8), destroyed(destroyed) {}
    ~TestEffect() override {
        if (destroyed != nullptr) {
            *destroyed = true;
        }
    }

    void process(float**, float**, VstInt32) override {}
    void open() override { ++openCount; }
    void close() override { ++closeCount; }
    void suspend() override { ++suspendCount; }
    void resume() override { ++resumeCount; }
    void setProgram(VstInt32 program) override {
        ++setProgramCount;
        ExtendedEffectBase::setProgram(program);
    }
    void setProgramName(char* text) override { lastProgramName = text; }
    void getParamName(VstInt32 index, char* text) override {
        lastParamIndex = index;
        std::strcpy(text, "name");
    }
    float getVu() override { return vu; }
    VstInt32 getChunk(void** data, bool isPreset) override {
        lastChunkWasPreset = isPreset;
        *data = chunk;
        return sizeof chunk;
    }
    VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset) override {
        lastChunkWasPreset = isPreset;
        lastChunkIn = data;
        lastChunkSize = byteSize;
        return 1;
    }
    VstInt32 processEvents(VstEvents* events) override {
        lastEvents = events;
        return 1;
    }

    bool* destroyed;
    int openCount = 0;
    int closeCount = 0;
    int suspendCount = 0;
    int resumeCount = 0;
    int setProgramCount = 0;
    std::string lastProgramName;
    VstInt32 lastParamIndex = -1;
    float vu = 0.0f;
    char chunk[12] = {};
    bool lastChunkWasPreset = false;
    void* lastChunkIn = nullptr;
    VstInt32 lastChunkSize = -1;
    VstEvents* lastEvents = nullptr;
};

// An editor that records the key codes and knob modes it is handed.
class TestEditor : public EditorBase {
  public:
    explicit TestEditor(EffectBase* owner, bool* destroyed = nullptr)
        : EditorBase(owner), destroyed(destroyed) {
        editorRect = {0, 0, 331, 590};
    }
    ~TestEditor() override {
        if (destroyed != nullptr) {
            *destroyed = true;
        }
    }

    VstInt32 getRect(ERect** out) override {
        *out = &editorRect;
        return 1;
    }
    VstInt32 open(void* parent) override {
        EditorBase::open(parent);
        return 1;
    }
    void close() override { ++closeCount; }
    void update() override { ++updateCount; }
    VstInt32 keyDown(VstKeyCode& key) override {
        lastKey = key;
        return 7;
    }
    VstInt32 keyUp(VstKeyCode& key) override {
        lastKey = key;
        return 8;
    }
    VstInt32 setKnobMode(VstInt32 mode) override {
        lastKnobMode = mode;
        return 1;
    }

    bool* destroyed;
    int closeCount = 0;
    int updateCount = 0;
    VstKeyCode lastKey{};
    VstInt32 lastKnobMode = -1;
};

}  // namespace tramvek::testing
