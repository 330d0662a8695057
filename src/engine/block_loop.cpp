// The block loop of both process entries: the host sync, then the samples.
// Every step, shuffled step and note start splits the block at its own sample;
// each segment runs on local copies of the voice.
#include <algorithm>

#include "engine/engine_limits.h"
#include "engine/shared_samples.h"
#include "engine/slicer_engine.h"
#include "engine/timed_starts.h"
#include "engine/voice_dsp.h"

namespace tramvek {
namespace {

// Values other threads may change, read once per segment and clamped.
struct SegmentSettings {
    float keepBuffer;
    float dryWet;
    bool freeze;
    Shaper shaper;
    std::int32_t cycle;          // recordCycleSamples, 1..capacity
    std::int32_t reverseWrapTo;  // patternSamples, 0..capacity - 1
};

// One sample of the voice's read, forward or backward. While the voice is
// inaudible (gain times level exactly 0) the position moves on but nothing is
// interpolated or shaped: the product would be a zero, and the filter turns
// every zero, whatever its sign, into the same +0, so the output bits do not
// change.
StereoSample readVoice(VoiceRun& v, const float* left, const float* right, const SegmentSettings& s,
                       bool backward, bool audible) {
    const auto end = static_cast<float>(v.sliceEnd);
    if (backward ? !(end < v.readPosition) : !(end > v.readPosition)) {
        return {0.0f, 0.0f};
    }
    const StereoSample wet =
        audible ? readHermitePair(left, right, v.readPosition, s.cycle, SlicerEngine::kBufferCapacity)
                : StereoSample{0.0f, 0.0f};
    if (backward) {
        v.readPosition -= v.readIncrement;
        v.playIndex = static_cast<std::int32_t>(v.readPosition - 1.0f);
        if (v.readPosition < 0.0f) {
            v.readPosition = static_cast<float>(s.reverseWrapTo);
        }
    } else {
        v.readPosition += v.readIncrement;
        v.playIndex = static_cast<std::int32_t>(v.readPosition - 1.0f);
        if (v.readPosition > static_cast<float>(s.cycle)) {
            v.readPosition = 0.0f;
        }
    }
    return wet;
}

std::int32_t safeRecordIndex(std::int32_t index) {
    return index >= 0 && index < SlicerEngine::kBufferCapacity ? index : 0;
}

// Other threads read both pairs of buffers: one atomic store per sample.
// Keeping nothing, the input is written whole: what the buffer held there
// (maybe another pattern's audio, see PlayBuffers::prepareRecord) does not count.
void overdub(float* buffer, std::int32_t index, float keep, float input) {
    storeSample(buffer, index, keep != 0.0f ? buffer[index] * keep + input : input);
}

VoiceRun loadVoice(const EngineState& e) {
    return VoiceRun{e.readPosition,   e.readIncrement,  e.sliceEnd,    e.voiceReverse, e.playIndex,
                    e.envelopeStage,  e.envelopeLevel,  e.attackStep,  e.attackCurve,  e.releaseStep,
                    e.releaseCurve,   e.holdCounter,    e.holdSamples, e.voiceGain,    e.filter,
                    e.filterHistoryL, e.filterHistoryR, e.recordIndex, e.recordArmed};
}

void storeVoice(const VoiceRun& v, EngineState& e) {
    e.readPosition = v.readPosition;
    e.readIncrement = v.readIncrement;
    e.sliceEnd = v.sliceEnd;
    e.voiceReverse = v.reverse;
    e.playIndex = v.playIndex;
    e.envelopeStage = v.envelopeStage;
    e.envelopeLevel = v.envelopeLevel;
    e.attackStep = v.attackStep;
    e.attackCurve = v.attackCurve;
    e.releaseStep = v.releaseStep;
    e.releaseCurve = v.releaseCurve;
    e.holdCounter = v.holdCounter;
    // holdSamples is not stored back: the voice only reads it.
    e.voiceGain = v.voiceGain;
    e.filter = v.filter;
    e.filterHistoryL = v.historyL;
    e.filterHistoryR = v.historyR;
    e.recordIndex = v.recordIndex;
    e.recordArmed = v.recordArmed;
}

SegmentSettings segmentSettings(const EngineState& e) {
    return SegmentSettings{clampUnit(e.keepBuffer),
                           clampUnit(e.dryWet),
                           e.freeze,
                           Shaper(clampUnit(e.shape)),
                           clampCycle(e.recordCycleSamples),
                           std::clamp(e.patternSamples.load(), 0, SlicerEngine::kBufferCapacity - 1)};
}

}  // namespace

void SlicerEngine::processReplacing(float** inputs, float** outputs, std::int32_t frames,
                                    const TransportPosition* position) {
    runBlock(inputs, outputs, frames, true, position);
}

void SlicerEngine::processAccumulating(float** inputs, float** outputs, std::int32_t frames,
                                       const TransportPosition* position) {
    runBlock(inputs, outputs, frames, false, position);
}

void SlicerEngine::runBlock(float** inputs, float** outputs, std::int32_t sampleFrames, bool replacing,
                            const TransportPosition* position) {
    const bool applies = beginAudioCall();
    dropWaitingStartsIfSuspended();
    takeOverBufferChanges();
    syncToHost(sampleFrames, position);
    std::int32_t done = 0;
    while (done < sampleFrames) {
        const std::int32_t at = nextStartSample(sampleFrames);
        if (replacing) {
            renderReplacing(inputs, outputs, done, at);
        } else {
            renderAccumulating(inputs, outputs, done, at);
        }
        done = at;
        if (at < sampleFrames) {
            startEverythingAt(at);
        }
    }
    endBlock(sampleFrames);
    playBuffers.settle();
    if (applies) {
        publishViewEvery(sampleFrames);
        releaseApplying();
    }
}

void SlicerEngine::takeOverBufferChanges() {
    if (flushRequested.exchange(false)) {
        playBuffers.clear();
    }
    if (loadedAudio.published()) {
        const PlayBuffers::Change change(playBuffers);
        loadedAudio.takeInto(playBuffers.writable(0), playBuffers.writable(1));
    }
}

// The earliest sample of this block at which something starts, or sampleFrames.
std::int32_t SlicerEngine::nextStartSample(std::int32_t sampleFrames) const {
    std::int64_t at = boundarySample(nextBoundary) - blockStartSample;
    if (delayedStepCount > 0) {
        at = std::min(at, delayedSteps[0].at);
    }
    if (timedNoteCount > 0) {
        at = std::min(at, timedNotes[0].at);
    }
    at = std::min(at, nextHitSample());
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(at, 0, sampleFrames));
}

// At one sample, in this order: the playing step's hit, pattern selections by
// notes (the step that starts here plays from the new pattern), shuffled steps
// due now, the boundaries on this sample, then note starts (heard over the
// sequencer's). Each step start ends the hits of the step before.
void SlicerEngine::startEverythingAt(std::int32_t at) {
    startDueHits(at);
    const std::int32_t notesHere = countDueBy(timedNotes, timedNoteCount, at);
    for (std::int32_t i = 0; i < notesHere; ++i) {
        selectPatternsFor(timedNotes[i].note);
    }
    // A note records into the step of the first boundary at or after it.
    const std::int64_t noteRecordStep = nextBoundary;
    const std::int32_t delayedHere = countDueBy(delayedSteps, delayedStepCount, at);
    for (std::int32_t i = 0; i < delayedHere; ++i) {
        startClockStep(delayedSteps[i].step, at);
    }
    dropFirst(delayedSteps, delayedStepCount, delayedHere);
    while (boundarySample(nextBoundary) - blockStartSample <= at) {
        startBoundary(nextBoundary, at);
        ++nextBoundary;
    }
    for (std::int32_t i = 0; i < notesHere; ++i) {
        startNoteSlices(timedNotes[i], noteRecordStep);
    }
    dropFirst(timedNotes, timedNoteCount, notesHere);
}

void SlicerEngine::startBoundary(std::int64_t step, std::int32_t at) {
    currentStep = static_cast<std::int32_t>(wrapIndex(step, clampPatternLength(patternLength)));
    // Shuffle pushes the odd steps late by its share of half a step.
    const float shuffleAmount = clampUnit(shuffle);
    if (shuffleAmount > 0.0f && step % 2 != 0) {
        const auto delay =
            static_cast<std::int32_t>(static_cast<float>(clampStepSamples(stepSamples) / 2) * shuffleAmount);
        if (delay > 0 && delayStep(step, at + delay)) {
            return;
        }
    }
    startClockStep(step, at);
}

void SlicerEngine::startClockStep(std::int64_t step, std::int32_t at) {
    scheduleStep(step, step, false, 0.0f);
    startStep();
    armRepeatHits(at);
}

bool SlicerEngine::delayStep(std::int64_t step, std::int64_t at) {
    if (delayedStepCount == kMaxDelayedSteps) {
        return false;  // only at absurd tempos: a start on time beats a lost one
    }
    insertInTimeOrder(delayedSteps, delayedStepCount, DelayedStep{at, step});
    return true;
}

// Starts still to come now count from the next block's first sample.
void SlicerEngine::endBlock(std::int32_t sampleFrames) {
    const std::int32_t frames = std::max(sampleFrames, 0);
    moveOnBy(delayedSteps, delayedStepCount, frames);
    moveOnBy(timedNotes, timedNoteCount, frames);
    repeatHits.start -= frames;
}

void SlicerEngine::renderReplacing(float** inputs, float** outputs, std::int32_t begin, std::int32_t end) {
    if (begin >= end) {
        return;
    }
    const SegmentSettings s = segmentSettings(*this);
    VoiceRun v = loadVoice(*this);
    const float* inLeft = inputs[0];
    const float* inRight = inputs[1];
    float* outLeft = outputs[0];
    float* outRight = outputs[1];
    const bool recording = v.recordArmed && !s.freeze;
    if (recording) {
        playBuffers.prepareRecord(safeRecordIndex(v.recordIndex), end - begin, s.cycle, s.keepBuffer != 0.0f);
    }
    const PlayBuffers::VoiceRead played =
        playBuffers.prepareRead(v.readPosition, v.readIncrement * static_cast<float>(end - begin), v.reverse,
                                s.cycle, s.reverseWrapTo);
    float* recordLeft = playBuffers.recordChannel(0);
    float* recordRight = playBuffers.recordChannel(1);
    const float* playLeft = played.left;
    const float* playRight = played.right;
    const float dry = 1.0f - s.dryWet;

    for (std::int32_t i = begin; i < end; ++i) {
        const float inL = inLeft[i];
        const float inR = inRight[i];
        stepEnvelope(v, true);
        if (recording) {
            const std::int32_t at = safeRecordIndex(v.recordIndex);
            overdub(recordLeft, at, s.keepBuffer, inL);
            overdub(recordRight, at, s.keepBuffer, inR);
            v.recordIndex = wrapIntoCycle(at + 1, s.cycle);
        }
        const float gain = v.voiceGain * v.envelopeLevel;
        const bool audible = gain != 0.0f;
        const StereoSample read = readVoice(v, playLeft, playRight, s, v.reverse, audible);
        const float wetL = runBiquad(v.filter, v.historyL, audible ? s.shaper(read.left) * gain : 0.0f);
        const float wetR = runBiquad(v.filter, v.historyR, audible ? s.shaper(read.right) * gain : 0.0f);
        outLeft[i] = dry * inL + s.dryWet * wetL;
        outRight[i] = dry * inR + s.dryWet * wetR;
    }
    storeVoice(v, *this);
}

// The accumulating entry's own chain: the input is shaped, enveloped and
// filtered and overdubbed into the play buffers; the voice reads them forward
// only and unprocessed; the mix is added to the outputs.
void SlicerEngine::renderAccumulating(float** inputs, float** outputs, std::int32_t begin, std::int32_t end) {
    if (begin >= end) {
        return;
    }
    const SegmentSettings s = segmentSettings(*this);
    VoiceRun v = loadVoice(*this);
    const float* inLeft = inputs[0];
    const float* inRight = inputs[1];
    float* outLeft = outputs[0];
    float* outRight = outputs[1];
    const PlayBuffers::Change change(playBuffers);
    float* playLeft = playBuffers.writable(0);
    float* playRight = playBuffers.writable(1);
    const float dry = 1.0f - s.dryWet;

    for (std::int32_t i = begin; i < end; ++i) {
        const float inL = inLeft[i];
        const float inR = inRight[i];
        stepEnvelope(v, false);
        const float gain = v.voiceGain * v.envelopeLevel;
        const float filteredL = runBiquad(v.filter, v.historyL, s.shaper(inL) * gain);
        const float filteredR = runBiquad(v.filter, v.historyR, s.shaper(inR) * gain);
        if (v.recordArmed) {
            const std::int32_t at = safeRecordIndex(v.recordIndex);
            overdub(playLeft, at, s.keepBuffer, filteredL);
            overdub(playRight, at, s.keepBuffer, filteredR);
            v.recordIndex = wrapIntoCycle(at + 1, s.cycle);
        }
        const StereoSample wet = readVoice(v, playLeft, playRight, s, false, true);
        outLeft[i] += dry * inL + s.dryWet * wet.left;
        outRight[i] += dry * inR + s.dryWet * wet.right;
    }
    storeVoice(v, *this);
}

}  // namespace tramvek
