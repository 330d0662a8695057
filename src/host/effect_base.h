// The basic effect layer: owns the AEffect record handed to the host, the
// state every effect has, the editor, and answers dispatcher opcodes 0..24.
// Virtual operations are declared in slot order; each has a default answer.
#pragma once

#include <memory>

#include "host/editor_base.h"
#include "host/vst2.h"

namespace tramvek {

class EffectBase {
  public:
    EffectBase(AudioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams);
    EffectBase(const EffectBase&) = delete;
    EffectBase& operator=(const EffectBase&) = delete;

    virtual ~EffectBase();

    virtual void setParameter(VstInt32 index, float value);
    virtual float getParameter(VstInt32 index);
    virtual void setParameterAutomated(VstInt32 index, float value);  // setParameter, then tells the host

    virtual void process(float** inputs, float** outputs, VstInt32 sampleFrames) = 0;
    virtual void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames);
    virtual VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

    virtual void open();
    virtual void close();
    virtual VstInt32 getProgram();
    virtual void setProgram(VstInt32 program);
    virtual void setProgramName(char* text);
    virtual void getProgramName(char* text);
    virtual void getParamLabel(VstInt32 index, char* text);
    virtual void getParamDisplay(VstInt32 index, char* text);
    virtual void getParamName(VstInt32 index, char* text);
    virtual float getVu();
    virtual VstInt32 getChunk(void** data, bool isPreset);
    virtual VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset);

    virtual void setSampleRate(float rate);
    virtual void setBlockSize(VstInt32 size);
    virtual void suspend();
    virtual void resume();

    virtual void setUniqueId(VstInt32 id);
    virtual void setInputCount(VstInt32 count);
    virtual void setOutputCount(VstInt32 count);

    virtual void setFlagHasVu(bool on);
    virtual void setFlagHasClip(bool on);
    virtual void setFlagCanMono(bool on);
    virtual void setFlagCanReplacing(bool on);
    virtual void setFlagProgramChunks(bool on);

    virtual void setRealtimeQualities(VstInt32 qualities);
    virtual void setOfflineQualities(VstInt32 qualities);
    virtual void setInitialDelay(VstInt32 samples);

    virtual float getSampleRate();
    virtual VstInt32 getBlockSize();

    // Host queries. Without a host callback each answers 0 or false and sends
    // nothing, except hostVersion (1) and the pin queries (connected).
    virtual VstInt32 hostVersion();
    virtual VstInt32 hostCurrentId();
    virtual bool hostIdle();
    // Tells the host that parameter `index` now has `value` (its automation records it).
    virtual void hostAutomate(VstInt32 index, float value);
    virtual bool isInputConnected(VstInt32 index);
    virtual bool isOutputConnected(VstInt32 index);

    // Text formatting: each writes 8 characters and a terminating zero into a
    // caller's buffer of at least 9 bytes.
    virtual void formatDecibels(float value, char* text);
    virtual void formatHertz(float samples, char* text);
    virtual void formatMilliseconds(float samples, char* text);
    virtual void formatFloat(float value, char* text);
    virtual void formatInteger(VstInt32 value, char* text);

    // Takes the effect's editor (null: none), destroying the one it had, and
    // says whether there is one in effFlagsHasEditor.
    void setEditor(std::unique_ptr<EditorBase> newEditor);

    float sampleRate = 44100.0f;
    std::unique_ptr<EditorBase> editor;
    AudioMasterCallback audioMaster = nullptr;
    VstInt32 numPrograms = 0;
    VstInt32 numParams = 0;
    VstInt32 curProgram = 0;
    VstInt32 blockSize = 1024;
    AEffect effect{};

  protected:
    // Sends one request to the host with this plug-in's record; 0 without a callback.
    VstIntPtr callHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f);
    void setFlag(VstInt32 flag, bool on);
    bool hasFlag(VstInt32 flag) const { return (effect.flags & flag) != 0; }
};

// The object behind a record handed out by an effect; null for a record not ours.
EffectBase* effectFromRecord(AEffect* record);

}  // namespace tramvek
