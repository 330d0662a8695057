// A VST 2 plug-in that records what its host does, for the host's end-to-end
// tests: every dispatcher call, parameter change, MIDI event and audio block
// (with the time information the host reports) becomes one line of the file
// named by TRAMVEK_PROBE_LOG. Audio passes through unchanged. With
// TRAMVEK_PROBE_CHUNKS=1 it keeps its state as opaque chunks.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "host/vst2.h"

#ifdef _WIN32
#define PROBE_EXPORT extern "C" __declspec(dllexport)
#else
#define PROBE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

using namespace tramvek;

constexpr int kPrograms = 4;
constexpr int kParams = 3;
constexpr int kNameSize = 24;
constexpr VstIntPtr kTimeFilter = kVstTempoValid | kVstPpqPosValid | kVstTransportPlaying;

struct Program {
    char name[kNameSize];
    float params[kParams];
};

struct Probe {
    AEffect effect{};
    AudioMasterCallback host = nullptr;
    std::FILE* log = nullptr;
    Program programs[kPrograms]{};
    int current = 0;
    std::vector<std::uint8_t> chunk;
};

Probe* probeOf(AEffect* effect) {
    return static_cast<Probe*>(effect->object);
}

void logLine(Probe* probe, const char* format, ...) {
    if (probe->log == nullptr) {
        return;
    }
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(probe->log, format, arguments);
    va_end(arguments);
    std::fputc('\n', probe->log);
    std::fflush(probe->log);
}

void copyText(void* ptr, const char* text) {
    std::strcpy(static_cast<char*>(ptr), text);
}

VstIntPtr getChunk(Probe* probe, bool preset, void* ptr) {
    const auto* first = reinterpret_cast<const std::uint8_t*>(preset ? &probe->programs[probe->current]
                                                                     : &probe->programs[0]);
    probe->chunk.assign(first, first + (preset ? 1 : kPrograms) * sizeof(Program));
    *static_cast<void**>(ptr) = probe->chunk.data();
    return static_cast<VstIntPtr>(probe->chunk.size());
}

VstIntPtr setChunk(Probe* probe, bool preset, const void* data, VstIntPtr size) {
    std::size_t expected = (preset ? 1 : kPrograms) * sizeof(Program);
    if (static_cast<std::size_t>(size) != expected) {
        return 0;
    }
    std::memcpy(preset ? &probe->programs[probe->current] : &probe->programs[0], data, expected);
    for (Program& program : probe->programs) {
        program.name[kNameSize - 1] = '\0';
    }
    return 1;
}

void logEvents(Probe* probe, const VstEvents* events) {
    const auto* slots = reinterpret_cast<VstEvent* const*>(reinterpret_cast<const char*>(events) +
                                                           offsetof(VstEvents, events));
    for (VstInt32 i = 0; i < events->numEvents; ++i) {
        const auto* midi = reinterpret_cast<const VstMidiEvent*>(slots[i]);
        logLine(probe, "event %d %d %d %d", midi->deltaFrames, static_cast<unsigned char>(midi->midiData[0]),
                static_cast<unsigned char>(midi->midiData[1]), static_cast<unsigned char>(midi->midiData[2]));
    }
}

VstIntPtr answerText(Probe* probe, VstInt32 opcode, VstInt32 index, void* ptr) {
    char text[32];
    switch (opcode) {
        case effGetProgramName:
            copyText(ptr, probe->programs[probe->current].name);
            return 0;
        case effGetParamName:
            std::snprintf(text, sizeof text, "p%d", index);
            copyText(ptr, text);
            return 0;
        case effGetParamDisplay:
            std::snprintf(
                text, sizeof text, "%.3f",
                index >= 0 && index < kParams ? probe->programs[probe->current].params[index] : 0.0f);
            copyText(ptr, text);
            return 0;
        case effGetVendorString:
            copyText(ptr, "tramvek tests");
            return 1;
        case effGetProductString:
            copyText(ptr, "probe");
            return 1;
        default:
            return 0;
    }
}

VstIntPtr VST_CALLBACK dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                float opt) {
    Probe* probe = probeOf(effect);
    logLine(probe, "dispatch %d %d %lld %.9g", opcode, index, static_cast<long long>(value),
            static_cast<double>(opt));
    switch (opcode) {
        case effClose:
            if (probe->log != nullptr) {
                std::fclose(probe->log);
            }
            delete probe;
            return 1;
        case effSetProgram:
            if (value >= 0 && value < kPrograms) {
                probe->current = static_cast<int>(value);
            }
            return 0;
        case effGetProgram:
            return probe->current;
        case effSetProgramName:
            std::snprintf(probe->programs[probe->current].name, kNameSize, "%s",
                          static_cast<const char*>(ptr));
            return 0;
        case effGetChunk:
            return getChunk(probe, index != 0, ptr);
        case effSetChunk:
            return setChunk(probe, index != 0, ptr, value);
        case effProcessEvents:
            logEvents(probe, static_cast<const VstEvents*>(ptr));
            return 1;
        case effCanDo:
            return std::strcmp(static_cast<const char*>(ptr), "receiveVstMidiEvent") == 0 ? 1 : -1;
        case effGetVstVersion:
            return 2400;
        default:
            return answerText(probe, opcode, index, ptr);
    }
}

void VST_CALLBACK processReplacing(AEffect* effect, float** inputs, float** outputs, VstInt32 frames) {
    Probe* probe = probeOf(effect);
    auto* time =
        reinterpret_cast<VstTimeInfo*>(probe->host(effect, audioMasterGetTime, 0, kTimeFilter, nullptr, 0));
    if (time == nullptr) {
        logLine(probe, "process %d no-time", frames);
    } else {
        logLine(probe, "process %d %.17g %.17g %.17g %.17g %d", frames, time->samplePos, time->sampleRate,
                time->ppqPos, time->tempo, time->flags);
    }
    for (int channel = 0; channel < 2; ++channel) {
        std::memcpy(outputs[channel], inputs[channel], sizeof(float) * static_cast<std::size_t>(frames));
    }
}

void VST_CALLBACK process(AEffect* effect, float** inputs, float** outputs, VstInt32 frames) {
    processReplacing(effect, inputs, outputs, frames);
}

void VST_CALLBACK setParameter(AEffect* effect, VstInt32 index, float value) {
    Probe* probe = probeOf(effect);
    logLine(probe, "setParameter %d %.9g", index, static_cast<double>(value));
    if (index >= 0 && index < kParams) {
        probe->programs[probe->current].params[index] = value;
    }
}

float VST_CALLBACK getParameter(AEffect* effect, VstInt32 index) {
    Probe* probe = probeOf(effect);
    return index >= 0 && index < kParams ? probe->programs[probe->current].params[index] : 0.0f;
}

}  // namespace

PROBE_EXPORT AEffect* VSTPluginMain(AudioMasterCallback host) {
    auto* probe = new Probe;
    probe->host = host;
    if (const char* path = std::getenv("TRAMVEK_PROBE_LOG")) {
        probe->log = std::fopen(path, "a");
    }
    logLine(probe, "version %lld",
            static_cast<long long>(host(nullptr, audioMasterVersion, 0, 0, nullptr, 0)));
    const char* chunks = std::getenv("TRAMVEK_PROBE_CHUNKS");
    AEffect& e = probe->effect;
    e.magic = kEffectMagic;
    e.dispatcher = dispatch;
    e.process = process;
    e.setParameter = setParameter;
    e.getParameter = getParameter;
    e.processReplacing = processReplacing;
    e.numPrograms = kPrograms;
    e.numParams = kParams;
    e.numInputs = 2;
    e.numOutputs = 2;
    e.flags = effFlagsCanReplacing | (chunks != nullptr && chunks[0] == '1' ? effFlagsProgramChunks : 0);
    e.ioRatio = 1.0f;
    e.object = probe;
    e.uniqueID = fourCharCode('P', 'r', 'B', 'e');
    e.version = 5;
    for (int i = 0; i < kPrograms; ++i) {
        std::snprintf(probe->programs[i].name, kNameSize, "Probe %d", i);
        for (int k = 0; k < kParams; ++k) {
            probe->programs[i].params[k] = 0.1f * static_cast<float>(i + k);
        }
    }
    return &e;
}
