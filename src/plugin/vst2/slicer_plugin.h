// The plug-in as VST 2 hosts see it: turns the host's calls into the
// engine's, answers what the engine does not know (names, texts, the chunk
// answer, capabilities), and owns the engine and the editor. Parameters the
// engine moves itself (learned controllers) reach the host as automation.
#pragma once

#include <memory>

#include "engine/parameter_report.h"
#include "engine/slicer_engine.h"
#include "host/extended_effect_base.h"

namespace tramvek {

class SlicerPlugin : public ExtendedEffectBase, private ParameterReport {
  public:
    explicit SlicerPlugin(AudioMasterCallback audioMaster);
    // The editor points into the engine, so it goes first.
    ~SlicerPlugin() override;

    SlicerPlugin(const SlicerPlugin&) = delete;
    SlicerPlugin& operator=(const SlicerPlugin&) = delete;

    // False when this instance could not get its buffers or create the editor
    // its build declares; other instances are not affected.
    bool ready() const;

    SlicerEngine& engine() { return *engine_; }

    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    void process(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    VstInt32 processEvents(VstEvents* events) override;

    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    void getParamLabel(VstInt32 index, char* label) override;
    void getParamDisplay(VstInt32 index, char* text) override;
    void getParamName(VstInt32 index, char* text) override;

    VstInt32 getProgram() override;
    void setProgram(VstInt32 program) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;

    VstInt32 getChunk(void** data, bool isPreset) override;
    VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset) override;

    float getVu() override;
    void setSampleRate(float rate) override;
    void suspend() override;
    void resume() override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 canDo(const char* text) override;

  private:
    void parameterMovedByMidi(std::int32_t index, float value) override;
    // The host's transport for this block, or null when it gives none.
    const TransportPosition* queryTransport();

    std::unique_ptr<SlicerEngine> engine_;
    TransportPosition transport_;
    bool editorReady_ = true;
};

}  // namespace tramvek
