#include "plugin/vst2/slicer_plugin.h"

#include <cstring>
#include <new>

#include "host/editor_base.h"
#include "host/plugin_identity.h"
#include "params/chunk_layout.h"
#include "params/parameter_table.h"
#include "plugin/vst2/editor_factory.h"

namespace tramvek {
namespace {

constexpr VstInt32 kTimeInfoFilter =
    kVstTransportPlaying | kVstTransportCycleActive | kVstPpqPosValid | kVstTempoValid;
// MIDI events are handed to the engine in batches of this many, from the stack.
constexpr VstInt32 kMidiBatch = 64;

}  // namespace

SlicerPlugin::SlicerPlugin(AudioMasterCallback audioMaster)
    : ExtendedEffectBase(audioMaster, SlicerEngine::kProgramCount, SlicerEngine::kParamCount),
      engine_(new (std::nothrow) SlicerEngine()) {
    setInputCount(2);
    setOutputCount(2);
    setFlagHasVu(true);
    setFlagCanReplacing(true);
    setFlagProgramChunks(true);
    setUniqueId(kSlicerUniqueId);
    if (engine_ != nullptr) {
        engine_->setParameterReport(this);
    }
    if (engine_ != nullptr && buildHasEditor()) {
        std::unique_ptr<EditorBase> created = createEditor(*this, *engine_);
        editorReady_ = created != nullptr;
        setEditor(std::move(created));
    }
}

SlicerPlugin::~SlicerPlugin() {
    setEditor(nullptr);
}

bool SlicerPlugin::ready() const {
    return engine_ != nullptr && engine_->allocationsSucceeded() && editorReady_;
}

const TransportPosition* SlicerPlugin::queryTransport() {
    const VstTimeInfo* info = hostGetTime(kTimeInfoFilter);
    if (info == nullptr) {
        return nullptr;
    }
    transport_ = TransportPosition{info->ppqPos, info->sampleRate, info->tempo,
                                   (info->flags & kVstTransportPlaying) != 0};
    return &transport_;
}

void SlicerPlugin::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
    engine_->processReplacing(inputs, outputs, sampleFrames, queryTransport());
}

void SlicerPlugin::process(float** inputs, float** outputs, VstInt32 sampleFrames) {
    engine_->processAccumulating(inputs, outputs, sampleFrames, queryTransport());
}

VstInt32 SlicerPlugin::processEvents(VstEvents* events) {
    MidiMessage batch[kMidiBatch];
    VstInt32 filled = 0;
    // The host allocates as many pointers as it announces; index through a
    // plain pointer, not the two-entry array of the declaration.
    VstEvent* const* list = events != nullptr ? events->events : nullptr;
    const VstInt32 count = events != nullptr ? events->numEvents : 0;
    for (VstInt32 i = 0; i < count; ++i) {
        const VstEvent* event = list[i];
        if (event == nullptr || event->type != kVstMidiType) {
            continue;
        }
        VstMidiEvent midi;
        std::memcpy(&midi, event, sizeof midi);
        batch[filled++] = MidiMessage{midi.deltaFrames, static_cast<std::uint8_t>(midi.midiData[0]),
                                      static_cast<std::uint8_t>(midi.midiData[1]),
                                      static_cast<std::uint8_t>(midi.midiData[2])};
        if (filled == kMidiBatch) {
            engine_->receiveMidi(batch, filled);
            filled = 0;
        }
    }
    // Also with no events: a suspend's waiting starts are dropped before the next block.
    engine_->receiveMidi(batch, filled);
    return 1;
}

void SlicerPlugin::setParameter(VstInt32 index, float value) {
    engine_->setParameterFromHost(index, value);
}

// Audio thread: the host's callback is the one call made.
void SlicerPlugin::parameterMovedByMidi(std::int32_t index, float value) {
    hostAutomate(index, value);
}

float SlicerPlugin::getParameter(VstInt32 index) {
    return engine_->parameter(index);
}

void SlicerPlugin::getParamName(VstInt32 index, char* text) {
    if (isParamIndex(index) && text != nullptr) {
        std::strcpy(text, kParameterFacts[index].name);
    }
}

void SlicerPlugin::getParamLabel(VstInt32 index, char* label) {
    getParamName(index, label);
}

void SlicerPlugin::getParamDisplay(VstInt32 index, char* text) {
    if (isParamIndex(index) && text != nullptr) {
        formatFloat(engine_->parameter(index), text);
    }
}

VstInt32 SlicerPlugin::getProgram() {
    return engine_->currentProgramIndex();
}

void SlicerPlugin::setProgram(VstInt32 program) {
    engine_->selectProgramFromHost(program);
}

void SlicerPlugin::setProgramName(char* name) {
    engine_->renameCurrentProgram(name);
}

void SlicerPlugin::getProgramName(char* name) {
    engine_->currentProgramName(name);
}

VstInt32 SlicerPlugin::getChunk(void** data, bool isPreset) {
    if (data == nullptr) {
        return 0;
    }
    const SlicerEngine::SavedBytes saved = engine_->saveState(isPreset);
    if (saved.data == nullptr) {
        return 0;
    }
    *data = const_cast<std::uint8_t*>(saved.data);
    return saved.size;
}

VstInt32 SlicerPlugin::setChunk(void* data, VstInt32 byteSize, bool isPreset) {
    if (data == nullptr || byteSize < 0) {
        return 0;
    }
    if (!engine_->loadState(static_cast<const std::uint8_t*>(data), static_cast<std::size_t>(byteSize),
                            isPreset)) {
        return 0;
    }
    return isPreset ? static_cast<VstInt32>(chunk_layout::kPresetBytes) : chunk_layout::kBankLoadAnswer;
}

// The plug-in declares a VU meter but keeps no level: it always reads silence.
float SlicerPlugin::getVu() {
    return 0.0f;
}

void SlicerPlugin::setSampleRate(float rate) {
    ExtendedEffectBase::setSampleRate(rate);
    engine_->setSampleRate(rate);
}

void SlicerPlugin::suspend() {
    engine_->suspend();
}

void SlicerPlugin::resume() {
    engine_->activate();
    hostWantMidi(1);
}

bool SlicerPlugin::getVendorString(char* text) {
    return writeVendorText(text);
}

bool SlicerPlugin::getProductString(char* text) {
    return writeProductText(text);
}

VstInt32 SlicerPlugin::canDo(const char* text) {
    return capabilityAnswer(text);
}

}  // namespace tramvek
