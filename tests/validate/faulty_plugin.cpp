// A small effect with one deliberate fault, chosen by TRAMVEK_FAULT, so that
// the validation suite can be shown to catch each fault it looks for. Without
// a fault it is a plain, sound gain effect that must pass every check.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "host/vst2.h"

namespace {

using namespace tramvek;

constexpr VstInt32 kParams = 2;
constexpr VstInt32 kPrograms = 2;

std::string fault() {
    const char* name = std::getenv("TRAMVEK_FAULT");
    return name ? name : "";
}

struct Faulty {
    AEffect effect{};
    std::string fault;
    float params[kPrograms][kParams] = {{0.5f, 0.5f}, {0.25f, 0.75f}};
    VstInt32 program = 0;
    std::uint8_t chunk[sizeof(params) + sizeof(VstInt32)] = {};
    std::int32_t saves = 0;
};

Faulty& self(AEffect* effect) {
    return *static_cast<Faulty*>(effect->object);
}

void copyText(void* ptr, const char* text) {
    std::strcpy(static_cast<char*>(ptr), text);
}

VstIntPtr getChunk(Faulty& f, void* ptr) {
    std::memcpy(f.chunk, f.params, sizeof f.params);
    // The fault: a save counter stored in the state, so no save repeats.
    std::int32_t marker = f.fault == "unstable-chunk" ? ++f.saves : 0;
    std::memcpy(f.chunk + sizeof f.params, &marker, sizeof marker);
    *static_cast<void**>(ptr) = f.chunk;
    return sizeof f.chunk;
}

VstIntPtr setChunk(Faulty& f, VstIntPtr size, const void* ptr) {
    if (size == static_cast<VstIntPtr>(sizeof f.chunk)) {
        std::memcpy(f.params, ptr, sizeof f.params);
    }
    return 1;
}

VstIntPtr parameterText(Faulty& f, VstInt32 opcode, VstInt32 index, void* ptr) {
    if (index < 0 || index >= kParams) {
        return 0;
    }
    if (f.fault == "long-text" && opcode == effGetParamName) {
        copyText(ptr, std::string(100, 'x').c_str());
    } else if (f.fault == "unterminated-text" && opcode == effGetParamLabel) {
        std::memcpy(ptr, "gain", 4);
    } else if (opcode == effGetParamDisplay) {
        std::snprintf(static_cast<char*>(ptr), 9, "%.5f", f.params[f.program][index]);
    } else {
        copyText(ptr, index == 0 ? "gain" : "mix");
    }
    return 0;
}

VstIntPtr VST_CALLBACK dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                float) {
    Faulty& f = self(effect);
    switch (opcode) {
        case effClose:
            delete &f;
            return 1;
        case effSetProgram:
            if (value >= 0 && value < kPrograms) {
                f.program = static_cast<VstInt32>(value);
            } else if (f.fault == "hang-on-bad-program") {
                std::this_thread::sleep_for(std::chrono::hours(1));
            }
            return 0;
        case effGetProgram:
            return f.fault == "sticky-program" ? 0 : f.program;
        case effGetProgramName:
            copyText(ptr, f.program == 0 ? "first" : "second");
            return 0;
        case effGetParamName:
        case effGetParamLabel:
        case effGetParamDisplay:
            return parameterText(f, opcode, index, ptr);
        case effGetChunk:
            return getChunk(f, ptr);
        case effSetChunk:
            return setChunk(f, value, ptr);
        case effGetEffectName:
            copyText(ptr, "faulty");
            return 1;
        case effGetVstVersion:
            return kVstVersion;
        case effCanDo:
            return -1;
        default:
            return 0;
    }
}

void VST_CALLBACK processReplacing(AEffect* effect, float** inputs, float** outputs, VstInt32 frames) {
    Faulty& f = self(effect);
    float gain = f.params[f.program][0];
    if (f.fault == "nan-on-bad-value" && !(gain >= 0.0f && gain <= 1.0f)) {
        gain = std::nanf("");
    } else {
        gain = std::fmin(std::fmax(gain, 0.0f), 1.0f);
        // Gains below -120 dB are silence; multiplying by them would make subnormals.
        gain = gain < 1e-6f ? 0.0f : gain;
    }
    VstInt32 written = f.fault == "write-past-block" ? frames + 1 : frames;
    for (int c = 0; c < 2; ++c) {
        for (VstInt32 i = 0; i < written; ++i) {
            float in = i < frames ? inputs[c][i] : 0.0f;
            // The fault: a decaying tail left to run into subnormal numbers.
            outputs[c][i] = f.fault == "subnormal-tail" && in == 0.0f ? 1e-41f : gain * in;
        }
    }
}

void VST_CALLBACK setParameter(AEffect* effect, VstInt32 index, float value) {
    Faulty& f = self(effect);
    if (index >= 0 && index < kParams) {
        f.params[f.program][index] = value;
    }
}

float VST_CALLBACK getParameter(AEffect* effect, VstInt32 index) {
    Faulty& f = self(effect);
    return index >= 0 && index < kParams ? f.params[f.program][index] : 0.0f;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(AudioMasterCallback) {
    auto* f = new Faulty;
    f->fault = fault();
    AEffect& e = f->effect;
    e.magic = kEffectMagic;
    e.dispatcher = dispatch;
    e.setParameter = setParameter;
    e.getParameter = getParameter;
    e.processReplacing = processReplacing;
    e.numPrograms = kPrograms;
    e.numParams = kParams;
    e.numInputs = 2;
    e.numOutputs = 2;
    e.flags = effFlagsCanReplacing | effFlagsProgramChunks;
    e.object = f;
    e.uniqueID = fourCharCode('f', 'l', 't', 'y');
    e.version = 1;
    return &e;
}
