#include "engine_rig.h"

#include <cmath>

namespace tramvek::test {
namespace {

ScriptedHost* activeHost = nullptr;

VstIntPtr VST_CALLBACK scriptedCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    if (opcode == audioMasterVersion) {
        return 2400;
    }
    if (opcode == audioMasterGetTime && activeHost != nullptr) {
        return reinterpret_cast<VstIntPtr>(activeHost->answerTimeQuery());
    }
    return 0;
}

// The engine's own beat length for this rate and tempo.
double engineBeatSamples(double sampleRate, double tempo) {
    const int rate = static_cast<int>(sampleRate);
    return 240000.0 / static_cast<int>(tempo) * static_cast<float>(rate / 1000) * 0.25;
}

}  // namespace

double ScriptedHost::ppqAt(std::int64_t frames) const {
    if (!playing) {
        return ppqStart;
    }
    double ppq = ppqStart + static_cast<double>(frames) * tempo / (60.0 * sampleRate);
    if (ticksPerQuarter > 0) {
        return std::round(ppq * ticksPerQuarter) / ticksPerQuarter;
    }
    if (snapToSamples) {
        const double beat = engineBeatSamples(sampleRate, tempo);
        const double wanted = std::round(ppq * beat);
        for (int i = 0; i < 8 && beat * ppq < wanted && std::fabs(ppq * beat - wanted) < 1e-6; ++i) {
            ppq = std::nextafter(ppq, 1e300);
        }
    }
    return ppq;
}

VstTimeInfo* ScriptedHost::answerTimeQuery() {
    ++timeQueries;
    if (!answersTime) {
        return nullptr;
    }
    info = VstTimeInfo{};
    info.samplePos = static_cast<double>(framesPlayed);
    info.sampleRate = sampleRate;
    info.ppqPos = ppqAt(framesPlayed);
    info.tempo = tempo;
    info.flags = kVstTempoValid | kVstPpqPosValid | (playing ? kVstTransportPlaying : 0);
    return &info;
}

EngineRig::EngineRig(double sampleRate, double tempo) {
    host.sampleRate = sampleRate;
    host.tempo = tempo;
    activeHost = &host;
    effect = std::make_unique<SlicerPlugin>(&scriptedCallback);
}

EngineRig::~EngineRig() {
    activeHost = nullptr;
}

Stereo EngineRig::run(const Stereo& input, const std::vector<int>& blockSizes, bool replacing) {
    activeHost = &host;
    Stereo output(input.size());
    std::size_t done = 0;
    std::size_t blockIndex = 0;
    while (done < input.size()) {
        const auto frames = static_cast<int>(std::min<std::size_t>(
            static_cast<std::size_t>(blockSizes[blockIndex % blockSizes.size()]), input.size() - done));
        ++blockIndex;
        float* in[2] = {const_cast<float*>(input.left.data() + done),
                        const_cast<float*>(input.right.data() + done)};
        float* out[2] = {output.left.data() + done, output.right.data() + done};
        if (replacing) {
            effect->processReplacing(in, out, frames);
        } else {
            effect->process(in, out, frames);
        }
        done += static_cast<std::size_t>(frames);
        host.framesPlayed += frames;
    }
    return output;
}

std::vector<std::int64_t> onsets(const std::vector<float>& signal, float threshold, std::int64_t quietGap) {
    std::vector<std::int64_t> found;
    std::int64_t quiet = quietGap;
    for (std::size_t i = 0; i < signal.size(); ++i) {
        if (std::fabs(signal[i]) > threshold) {
            if (quiet >= quietGap) {
                found.push_back(static_cast<std::int64_t>(i));
            }
            quiet = 0;
        } else {
            ++quiet;
        }
    }
    return found;
}

Stereo stepwiseInput(std::size_t frames, std::int64_t stepSamples, float (*levelOf)(std::int64_t step)) {
    Stereo input(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        const float level = levelOf(static_cast<std::int64_t>(i) / stepSamples);
        input.left[i] = level;
        input.right[i] = -level;
    }
    return input;
}

}  // namespace tramvek::test
