// A minimal host for the fuzz targets: a steady transport answered to the
// engine's time query, and blocks of silence with noise-free checks on the
// output.
#pragma once

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "support/engine_state_access.h"

namespace tramvek::fuzz {

struct FuzzHost {
    static inline VstTimeInfo time{};

    static VstIntPtr VST_CALLBACK callback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
        if (opcode == audioMasterVersion) {
            return 2400;
        }
        if (opcode == audioMasterGetTime) {
            return reinterpret_cast<VstIntPtr>(&time);
        }
        return 0;
    }

    static std::unique_ptr<SlicerPlugin> makeEffect() {
        resetTime();
        return std::make_unique<SlicerPlugin>(&callback);
    }

    // One instance for every run: building one touches 16 MB of fresh pages,
    // which would make each run fifty times slower. Each run starts from the
    // state a fresh instance saves (programs, patterns, MIDI tables, freeze,
    // settings), empty play buffers, program 0 selected and the learn modes
    // and pending starts cleared; only the recording and the voice carry over.
    static SlicerPlugin& sharedEffect() {
        static const std::unique_ptr<SlicerPlugin> effect = makeEffect();
        static const std::vector<std::uint8_t> freshBank = saveBank(*effect);
        resetTime();
        std::vector<std::uint8_t> bank = freshBank;
        if (effect->setChunk(bank.data(), static_cast<VstInt32>(bank.size()), false) == 0) {
            __builtin_trap();
        }
        effect->setProgram(0);
        effect->engine().flushBuffer();
        stateOf(*effect).paramMidiLearn = false;
        stateOf(*effect).patternNoteLearn = false;
        stateOf(*effect).sliceNoteLearn = false;
        stateOf(*effect).paramLearnTarget = 0;
        stateOf(*effect).patternLearnTarget = 0;
        stateOf(*effect).sliceLearnTarget = 0;
        effect->suspend();  // drops waiting starts and notes
        return *effect;
    }

    static std::vector<std::uint8_t> saveBank(SlicerPlugin& effect) {
        void* data = nullptr;
        const VstInt32 size = effect.getChunk(&data, false);
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        return std::vector<std::uint8_t>(bytes, bytes + size);
    }

    static void resetTime() {
        time = VstTimeInfo{};
        time.sampleRate = 44100.0;
        time.tempo = 120.0;
        time.flags = kVstTransportPlaying | kVstPpqPosValid | kVstTempoValid;
    }

    // Runs blocks of a test tone through the effect, advancing the transport
    // by `stepPpq` per block; traps on any output that is not a finite number.
    static void runBlocks(SlicerPlugin& effect, int blocks, int frames, double stepPpq) {
        std::vector<float> inL(frames), inR(frames), outL(frames), outR(frames);
        for (int i = 0; i < frames; ++i) {
            inL[i] = std::sin(0.05f * static_cast<float>(i));
            inR[i] = -inL[i];
        }
        float* in[2] = {inL.data(), inR.data()};
        float* out[2] = {outL.data(), outR.data()};
        for (int b = 0; b < blocks; ++b) {
            effect.processReplacing(in, out, frames);
            for (int i = 0; i < frames; ++i) {
                if (!std::isfinite(outL[i]) || !std::isfinite(outR[i])) {
                    __builtin_trap();
                }
            }
            time.ppqPos += stepPpq;
            time.samplePos += frames;
        }
    }
};

}  // namespace tramvek::fuzz
