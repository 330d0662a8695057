// The extended effect layer: answers dispatcher opcodes 25..68, hands every
// other opcode to EffectBase, and carries the remaining host-request wrappers.
// Virtual operations are appended in slot order; each has a default answer.
#pragma once

#include "host/effect_base.h"

namespace tramvek {

class ExtendedEffectBase : public EffectBase {
  public:
    using EffectBase::EffectBase;

    ~ExtendedEffectBase() override;
    VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) override;

    virtual EditorBase* getEditor();
    virtual bool hostWantMidi(VstInt32 filter);
    // The host's time record, or null when the host offers none.
    virtual VstTimeInfo* hostGetTime(VstInt32 filter);
    virtual VstInt32 hostTempoAt(VstInt32 position);
    virtual VstInt32 processEvents(VstEvents* events);
    virtual VstInt32 hostGetNumAutomatableParameters();
    virtual VstInt32 hostGetParameterQuantization();
    virtual bool canBeAutomated(VstInt32 index);
    virtual bool string2Parameter(VstInt32 index, char* text);
    virtual float getChannelParameter(VstInt32 channel, VstInt32 index);
    virtual VstInt32 getNumProgramCategories();
    virtual bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text);
    virtual bool copyProgram(VstInt32 destination);
    virtual bool hostIOChanged();
    virtual bool hostNeedIdle();
    virtual bool hostSizeWindow(VstInt32 width, VstInt32 height);
    virtual float hostGetSampleRate();
    virtual VstInt32 hostGetBlockSize();
    virtual VstInt32 hostGetInputLatency();
    virtual VstInt32 hostGetOutputLatency();
    virtual AEffect* hostGetPreviousPlug(VstInt32 input);
    virtual AEffect* hostGetNextPlug(VstInt32 output);
    virtual void connectInput(VstInt32 index, bool connected);
    virtual void connectOutput(VstInt32 index, bool connected);
    virtual bool getInputProperties(VstInt32 index, void* properties);
    virtual bool getOutputProperties(VstInt32 index, void* properties);
    virtual VstInt32 getPlugCategory();
    virtual VstInt32 hostWillReplaceOrAccumulate();
    virtual VstInt32 hostGetCurrentProcessLevel();
    virtual VstInt32 hostGetAutomationState();
    virtual void setFlagExtIsAsync(bool on);
    virtual void setFlagExtHasBuffer(bool on);
    virtual VstInt32 getCurrentPosition();
    virtual float* getDestinationBuffer();
    virtual bool hostOfflineRead(void* offline, VstInt32 option, bool readSource);
    virtual bool hostOfflineWrite(void* offline, VstInt32 option);
    virtual bool hostOfflineStart(void* audioFiles, VstInt32 numAudioFiles, VstInt32 numNewAudioFiles);
    virtual VstInt32 hostOfflineGetCurrentPass();
    virtual VstInt32 hostOfflineGetCurrentMetaPass();
    virtual bool offlineNotify(void* audioFiles, VstInt32 numAudioFiles, bool start);
    virtual bool offlinePrepare(void* offline, VstInt32 count);
    virtual bool offlineRun(void* offline, VstInt32 count);
    virtual VstInt32 spareOperation1();
    virtual VstInt32 spareOperation2();
    virtual bool hostSetOutputSampleRate(float rate);
    virtual bool hostGetSpeakerArrangement(void** input, void** output);
    virtual bool hostGetVendorString(char* text);
    virtual bool hostGetProductString(char* text);
    virtual VstInt32 hostGetVendorVersion();
    virtual VstIntPtr hostVendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt);
    virtual VstInt32 hostCanDo(const char* text);
    virtual void setFlagIsSynth(bool on);
    virtual void setFlagNoSoundInStop(bool on);
    virtual VstInt32 hostGetLanguage();
    virtual void* hostOpenWindow(void* window);
    virtual bool hostCloseWindow(void* window);
    virtual void* hostGetDirectory();
    virtual bool hostUpdateDisplay();
    virtual bool processVarIo(void* io);
    virtual bool setSpeakerArrangement(void* input, void* output);
    virtual void setBlockSizeAndSampleRate(VstInt32 size, float rate);
    virtual bool setBypass(bool on);
    virtual bool getEffectName(char* text);
    virtual bool getErrorText(char* text);
    virtual bool getVendorString(char* text);
    virtual bool getProductString(char* text);
    virtual VstInt32 getVendorVersion();
    virtual VstIntPtr vendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt);
    // 1 = can do, -1 = cannot, 0 = don't know.
    virtual VstInt32 canDo(const char* text);
    virtual void* getIcon();
    virtual bool setViewPosition(VstInt32 x, VstInt32 y);
    virtual VstInt32 getTailSize();
    virtual VstInt32 effectIdle();
    virtual bool getParameterProperties(VstInt32 index, void* properties);
    virtual bool keysRequired();
    virtual VstInt32 getVstVersion();
    virtual VstInt32 getMidiProgramName(VstInt32 channel, void* name);
    virtual VstInt32 getCurrentMidiProgram(VstInt32 channel, void* current);
    virtual VstInt32 getMidiProgramCategory(VstInt32 channel, void* category);
    virtual bool hasMidiProgramsChanged(VstInt32 channel);
    virtual bool getMidiKeyName(VstInt32 channel, void* keyName);
    virtual bool beginSetProgram();
    virtual bool endSetProgram();
    virtual bool hostBeginEdit(VstInt32 index);
    virtual bool hostEndEdit(VstInt32 index);
    virtual bool hostOpenFileSelector(void* selector);
};

}  // namespace tramvek
