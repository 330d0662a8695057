// Everything one engine instance remembers. SlicerEngine keeps it private;
// only the engine's own functions (and white-box tests, through
// tests/support/engine_state_access.h) touch it.
//
// Threads: the audio thread owns the plain fields. A Shared field is written
// by the thread that applies commands (the audio thread while it runs, see
// SlicerEngine) and read by others (saves, the host's read-backs). The few
// written elsewhere say so: the programs' names, what hosts read back, the
// announced sample rate and a suspend's request. The audio thread reads each
// one once where it uses it and brings it into range there.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/biquad.h"
#include "engine/engine_counts.h"
#include "engine/envelope_stage.h"
#include "engine/loaded_audio.h"
#include "engine/play_buffers.h"
#include "engine/shared_value.h"

namespace tramvek {

// A program as the engine keeps it: the applying thread writes the values
// (and saves read them on the host's thread); the name is the host's thread's
// alone (renames, loads).
struct StoredProgram {
    Shared<float> params[EngineCounts::kParamCount];
    Shared<std::int32_t> patternLength{16};
    char name[24] = {};
};

struct EngineState {
    using Counts = EngineCounts;

    // Sequencing and MIDI tables.
    bool stepSilenced = false;
    Shared<std::int32_t> sliceLearnTarget{0};
    Shared<std::int32_t> sliceNotes[Counts::kSliceCount];  // entry i = 48 + i after construction
    Shared<bool> noteToSliceMode{false};
    Shared<bool> sliceNoteLearn{false};
    std::int32_t clipboardBank = 0;  // copy and paste are commands: the applying thread's
    Shared<std::int32_t> currentBank{0};
    Shared<std::int32_t> holdSamples{0};
    std::int32_t holdCounter = 0;
    Shared<float> shuffle{0.0f};
    Shared<std::int32_t> patternLearnTarget{0};
    Shared<bool> patternNoteLearn{false};
    Shared<bool> paramMidiLearn{false};
    Shared<std::int32_t> patternNotes[Counts::kPatternCount];
    Shared<std::int32_t> paramControllers[Counts::kParamCount];
    Shared<std::int32_t> paramLearnTarget{0};
    std::int32_t clipboardPattern = 0;  // the applying thread's, as clipboardBank

    // Voice, clock and buffer bookkeeping.
    bool voiceReverse = false;
    bool scheduledReverse = false;
    Shared<std::int32_t> patternSamples{0};
    std::int32_t stepPitch = 0;
    Shared<std::int32_t> basePitch{0};
    Shared<bool> freeze{false};
    std::int32_t scheduledSliceStart = 0;
    std::int32_t playingSliceStart = 0;
    Shared<std::int32_t> stepSamples{100};
    std::int32_t sliceEnd = 0;
    Shared<float> keepBuffer{0.0f};
    Shared<std::int32_t> nextStepIndex{0};
    Shared<std::int32_t> scheduledSlot{0};
    Shared<std::int32_t> recordCycleSamples{44100};
    bool recordArmed = false;
    std::int32_t recordIndex = 0;
    std::int32_t playIndex = 0;
    Shared<float> dryWet{1.0f};
    Shared<std::int32_t> patternOffset{0};
    Shared<std::int32_t> currentPattern{0};
    float scheduledGain = 0.0f;
    Shared<std::int32_t> resolutionIndex{3};
    Shared<std::int32_t> hostSampleRate{0};       // the editor's view reads it too
    Shared<std::int32_t> announcedSampleRate{0};  // the host's rate outside blocks; 0 until it says
    Shared<std::int32_t> patternLength{16};
    Shared<float> patternLengthValue{0.5f};
    Shared<std::int32_t> currentStep{0};

    // Pattern store: bank, lane, slot. Pattern p uses slots 32p .. 32p + 31.
    Shared<float> steps[Counts::kBankCount][Counts::kStoredLaneCount][Counts::kSlotCount];
    // Which steps Chance lets play: a draw from this seed, the step and the slot.
    Shared<std::uint32_t> variationSeed{0};

    // Parameter values, buffers and the voice.
    Shared<float> paramValues[Counts::kParamCount];
    // The recording and what the voice plays. Only the audio thread writes
    // them: a flush and a load's audio reach them through the two below.
    PlayBuffers playBuffers{Counts::kBufferCapacity};
    LoadedAudio loadedAudio{Counts::kBufferCapacity};
    Shared<bool> flushRequested{false};
    float pitchRatios[Counts::kPitchRatioCount] = {};  // entry i = 2^((i - 24) / 12)
    float readPosition = 0.0f;
    float readIncrement = 1.0f;
    std::int32_t scheduledRecordStart = 0;
    std::int32_t scheduledReadStart = 0;
    Shared<float> shape{0.0f};
    float voiceCutoff = 0.0f;
    Shared<float> resonance{0.0f};
    Shared<float> cutoffSq{0.0f};
    float releaseCurve = 0.0f;
    float attackCurve = 0.0f;
    Shared<float> lengthSq{0.5f};
    Shared<float> attackSq{0.01f};
    float voiceGain = 0.0f;
    std::int32_t scheduledReadSlot = 0;
    float scheduledCutoffOffset = 0.0f;
    float scheduledAttackOffset = 0.0f;
    Shared<float> scheduledLengthOffset{0.0f};
    std::int32_t envelopeStage = kEnvelopeHold;
    float envelopeLevel = 0.0f;
    float releaseStep = 0.022f;
    float attackStep = 0.022f;
    static constexpr float kResolutionDivisors[Counts::kResolutionCount] = {16.0f, 8.0f, 6.0f, 4.0f,
                                                                            3.0f,  2.0f, 1.5f};
    StoredProgram programs[Counts::kProgramCount];
    Shared<std::int32_t> currentProgram{0};
    // What hosts read back, ahead of the applying thread: written by the
    // posting threads as they post, and by the applying thread for changes of
    // its own (learned controllers, loads).
    Shared<float> requestedParams[Counts::kParamCount];
    Shared<std::int32_t> requestedProgram{0};
    BiquadCoefficients filter;
    BiquadHistory filterHistoryL;
    BiquadHistory filterHistoryR;
    std::int32_t hostTempo = 0;

    // Clock kept for blocks in which the host gives no time info: the musical
    // position the next block starts at, advanced by every block.
    double expectedPpqPos = 0.0;

    // Where steps start. Boundaries lie on the host's own grid of samples
    // counted from the song start: boundary k starts in the sample it falls
    // in, floor(k * sampleRate * 60 / (tempo * divisor)). A block's start on that grid is
    // counted on from the previous block while the host's position agrees
    // with it, so that starts depend on the song position only, not on how
    // the host cuts the song into blocks or rounds its position.
    struct StepGrid {
        double samplesPerMinute = 0.0;  // sample rate * 60
        double stepsPerMinute = 0.0;    // tempo * divisor
        float divisor = 0.0f;           // steps per quarter note
    };
    StepGrid stepGrid;
    bool clockAnchored = false;         // a block has been placed on the grid
    double lastHostSample = 0.0;        // the host's position of the previous block, in samples
    std::int64_t blockStartSample = 0;  // this block's first sample on the grid
    std::int64_t nextBlockSample = 0;   // where the next block starts when the song plays on
    std::int64_t nextBoundary = 0;      // the first boundary not yet started

    // Starts that fall later than the sample that made them, in the order
    // they fall: shuffled steps (possibly blocks later) and MIDI notes (at
    // their deltaFrames). Sample positions count from the current block's start.
    struct DelayedStep {
        std::int64_t at;
        std::int64_t step;
    };
    struct TimedNote {
        std::int64_t at;
        std::int32_t note;
        float gain;
        bool startsSlices;  // false while the note was learned onto a slice
    };
    // A shuffle delay is at most half a step, so few shuffled starts wait at once.
    static constexpr std::int32_t kMaxDelayedSteps = 8;
    static constexpr std::int32_t kMaxTimedNotes = 256;
    DelayedStep delayedSteps[kMaxDelayedSteps] = {};
    std::int32_t delayedStepCount = 0;
    TimedNote timedNotes[kMaxTimedNotes] = {};
    std::int32_t timedNoteCount = 0;
    // The hits still to come of the step that plays: hit k of `count` falls
    // `round(k * stepLength / count)` after the step's start (counted from
    // the current block's start), on the same grid as the boundaries.
    struct RepeatHits {
        std::int64_t start = 0;
        double stepLength = 0.0;
        std::int32_t next = 0;
        std::int32_t count = 0;
    };
    RepeatHits repeatHits;
    Shared<std::int32_t> hitCount{1};  // of the playing step; its slice and envelope last 1 / hitCount
    Shared<bool> waitingStartsDropped{false};  // set by suspend, acted on by the audio thread
};

}  // namespace tramvek
