// The slicer engine: the whole state of one plug-in instance (pattern store,
// recording and play buffers, step clock, the single voice, parameters, MIDI
// tables) and every operation on it. The operations live in several files:
// engine/ (state, block loop, voice, MIDI input) and params/ (parameters,
// programs, chunks).
//
// Threads: the host's audio thread runs the process entries and processEvents;
// the user-interface thread (dispatcher, parameters, chunks, editor) changes
// the fields below at any time without locks. Every value the audio thread
// uses as an index, a length or a divisor is therefore read once and clamped
// where it is used.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "engine/biquad.h"
#include "engine/envelope_stage.h"
#include "host/extended_effect_base.h"
#include "params/program_record.h"

namespace tramvek {

class SlicerEffect : public ExtendedEffectBase {
  public:
    static constexpr std::int32_t kProgramCount = 16;
    static constexpr std::int32_t kParamCount = 8;
    static constexpr std::int32_t kBankCount = 4;
    static constexpr std::int32_t kLaneCount = 7;
    static constexpr std::int32_t kSlotCount = 650;
    static constexpr std::int32_t kPatternCount = 8;
    static constexpr std::int32_t kStepsPerPattern = 32;  // slots per pattern, longest pattern
    static constexpr std::int32_t kSliceCount = 32;
    static constexpr std::int32_t kBufferCapacity = 661000;
    static constexpr std::int32_t kMaxStepSamples = kBufferCapacity / kStepsPerPattern - 4;  // 20,652
    static constexpr std::int32_t kResolutionCount = 7;
    static constexpr std::int32_t kPitchRatioCount = 50;
    // Big enough for the largest bank chunk a save produces and for a load.
    static constexpr std::int32_t kChunkCapacity = 74964 + 8 * kBufferCapacity;

    enum Lane : std::int32_t {
        kLaneTrigger = 0,
        kLaneAttack = 1,
        kLaneLength = 2,
        kLaneCutoff = 3,
        kLaneReadPos = 4,
        kLanePitch = 5,
        kLaneReverse = 6,
    };

    explicit SlicerEffect(AudioMasterCallback audioMaster);
    ~SlicerEffect() override;

    SlicerEffect(const SlicerEffect&) = delete;
    SlicerEffect& operator=(const SlicerEffect&) = delete;

    // False when one of the large buffers could not be obtained; the entry
    // point then destroys the object and answers null.
    bool allocationsSucceeded() const;

    // --- Editor operations (editor thread; out-of-range indices are ignored) ---
    void setStepValue(std::int32_t step, float value, std::int32_t lane);
    void setPatternLength(float value);
    void nextResolution();
    void previousResolution();
    void selectPattern(std::int32_t index);
    void selectBank(std::int32_t index);
    void copyPattern(std::int32_t index);
    void pastePattern(std::int32_t index);
    void setShuffle(float value);
    void flushBuffer();
    void toggleFreeze();
    void toggleMidiLearn();
    void setLearnTarget(std::int32_t index);
    void togglePatternNoteLearn();
    void setPatternLearnTarget(std::int32_t index);
    void toggleSliceTriggering();
    void toggleNoteSliceLearn();
    void setSliceLearnTarget(std::int32_t index);

    // Tells an open editor that values changed: posts an update when asked to
    // and marks the parameter panel for redraw.
    void notifyEditor(bool withPostUpdate);

    // --- Audio entries (audio thread) ---
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    void process(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    VstInt32 processEvents(VstEvents* events) override;

    // --- Step clock and scheduling (audio thread) ---
    // Once per block: reads the host's time and places the block on the
    // clock's sample grid (blockStartSample, nextBoundary).
    void syncToHost(std::int32_t sampleFrames);
    // The sample step boundary `step` falls in, counted from the song start.
    std::int64_t boundarySample(std::int64_t step) const;
    // Prepares the start of `step` (a slot for note starts); the recording
    // moves to the grid position of step `recordStep`.
    void scheduleStep(std::int64_t step, std::int64_t recordStep, bool fromNote, float noteGain);
    void startStep();
    void copyRecordingToPlayback();

    // --- Voice start ---
    void startVoice();
    void computeEnvelopeRates();
    void updateFilter();
    void computeHoldLength();  // also run on the parameter path

    // --- MIDI input ---
    void handleNote(std::int32_t note, std::int32_t velocity, std::int32_t deltaFrames);
    void handleController(std::int32_t controller, std::int32_t value);

    // --- Parameters and programs ---
    void applyParameter(std::int32_t index, float value);
    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    void setProgram(VstInt32 program) override;
    // What selecting a program does to the engine (0..15 only), without telling the editor.
    void applyProgram(std::int32_t program);
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    void getParamLabel(VstInt32 index, char* label) override;
    void getParamDisplay(VstInt32 index, char* text) override;
    void getParamName(VstInt32 index, char* text) override;

    // --- State chunks ---
    VstInt32 getChunk(void** data, bool isPreset) override;
    VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset) override;

    // --- Self-description and host requests ---
    float getVu() override;
    void suspend() override;
    void resume() override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 canDo(const char* text) override;

    // Set by the editor when it registers, so the engine can ask for a panel redraw.
    std::atomic<bool>* panelRedrawFlag = nullptr;

    // ===== Engine state, in this order =====

    // Sequencing and MIDI tables.
    bool stepSilenced = false;
    std::int32_t sliceLearnTarget = 0;
    std::int32_t sliceNotes[kSliceCount] = {};  // entry i = 48 + i after construction
    bool noteToSliceMode = false;
    bool sliceNoteLearn = false;
    std::int32_t clipboardBank = 0;
    std::int32_t currentBank = 0;
    std::int32_t holdSamples = 0;
    std::int32_t holdCounter = 0;
    float shuffle = 0.0f;
    std::int32_t patternLearnTarget = 0;
    const std::int32_t patternCount = kPatternCount;
    bool patternNoteLearn = false;
    bool paramMidiLearn = false;
    std::int32_t patternNotes[kPatternCount] = {};
    std::int32_t paramControllers[kParamCount] = {};
    std::int32_t paramLearnTarget = 0;
    std::int32_t clipboardPattern = 0;

    // Voice, clock and buffer bookkeeping.
    bool voiceReverse = false;
    bool scheduledReverse = false;
    std::int32_t patternSamples = 0;
    std::int32_t stepPitch = 0;
    std::int32_t basePitch = 0;
    bool freeze = false;
    std::int32_t scheduledSliceStart = 0;
    std::int32_t playingSliceStart = 0;
    std::int32_t stepSamples = 100;
    std::int32_t sliceEnd = 0;
    float keepBuffer = 0.0f;
    std::int32_t nextStepIndex = 0;
    std::int32_t scheduledSlot = 0;
    std::int32_t recordCycleSamples = 44100;
    bool recordArmed = false;
    std::int32_t recordIndex = 0;
    std::int32_t playIndex = 0;
    float dryWet = 1.0f;
    std::int32_t patternOffset = 0;
    std::int32_t currentPattern = 0;
    float scheduledGain = 0.0f;
    const std::int32_t maxPatternLength = kStepsPerPattern;
    const std::int32_t bufferCapacity = kBufferCapacity;
    const std::int32_t resolutionCount = kResolutionCount;
    std::int32_t resolutionIndex = 3;
    std::int32_t hostSampleRate = 0;
    const std::int32_t learnableParamCount = kParamCount;
    std::int32_t patternLength = 16;
    float patternLengthValue = 0.5f;
    std::int32_t currentStep = 0;

    // Pattern store: bank, lane, slot. Pattern p uses slots 32p .. 32p + 31.
    float steps[kBankCount][kLaneCount][kSlotCount] = {};
    const std::int32_t laneCount = kLaneCount;

    // Parameter values, buffers and the voice.
    float paramValues[kParamCount] = {0.0f, 0.8f, 1.0f, 0.0f, 0.0f, 1.0f, 0.5f, 0.0f};
    std::unique_ptr<float[]> playBufferL;
    std::unique_ptr<float[]> playBufferR;
    // Chunk storage of kChunkCapacity bytes, allocated once.
    std::unique_ptr<std::uint8_t[]> chunkData;
    // The preset chunk handed to the host; each instance has its own, so two
    // instances saving at once never hand each other's data to the host.
    std::uint8_t presetChunkOut[60] = {};
    float pitchRatios[kPitchRatioCount] = {};  // entry i = 2^((i - 24) / 12)
    float readPosition = 0.0f;
    float readIncrement = 1.0f;
    std::int32_t scheduledRecordStart = 0;
    std::int32_t scheduledReadStart = 0;
    float shape = 0.0f;
    float voiceCutoff = 0.0f;
    float resonance = 0.0f;
    float cutoffSq = 0.0f;
    float releaseCurve = 0.0f;
    float attackCurve = 0.0f;
    float lengthSq = 0.5f;
    float attackSq = 0.01f;
    float voiceGain = 0.0f;
    std::int32_t scheduledReadSlot = 0;
    float scheduledCutoffOffset = 0.0f;
    float scheduledAttackOffset = 0.0f;
    float scheduledLengthOffset = 0.0f;
    std::int32_t envelopeStage = kEnvelopeHold;
    float envelopeLevel = 0.0f;
    float releaseStep = 0.022f;
    float attackStep = 0.022f;
    const float resolutionDivisors[kResolutionCount] = {16.0f, 8.0f, 6.0f, 4.0f, 3.0f, 2.0f, 1.5f};
    ProgramRecord programs[kProgramCount] = {};
    BiquadCoefficients filter;
    BiquadHistory filterHistoryL;
    BiquadHistory filterHistoryR;
    std::unique_ptr<float[]> recordBufferL;
    std::unique_ptr<float[]> recordBufferR;
    float vuValue = 0.0f;
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
    bool waitingStartsDropped = false;  // set by suspend, acted on by the audio thread

  private:
    void initialisePatternStore();
    void initialisePrograms();
    void initialisePitchRatios();
    // The block loop: host sync, then the block in segments between the
    // samples at which steps and notes start.
    void runBlock(float** inputs, float** outputs, std::int32_t sampleFrames, bool replacing);
    std::int32_t nextStartSample(std::int32_t sampleFrames) const;
    void startEverythingAt(std::int32_t at);
    void startBoundary(std::int64_t step, std::int32_t at);
    void startClockStep(std::int64_t step);
    void startNoteSlices(const TimedNote& note, std::int64_t recordStep);
    void queueNote(const TimedNote& note);
    void dropWaitingStartsIfSuspended();
    void selectPatternsFor(std::int32_t note);
    void delayStep(std::int64_t step, std::int64_t at);
    void endBlock(std::int32_t sampleFrames);
    // The first boundary (from the song's start) that falls at or after `sample`.
    std::int64_t firstBoundaryFrom(std::int64_t sample) const;
    void renderReplacing(float** inputs, float** outputs, std::int32_t begin, std::int32_t end);
    void renderAccumulating(float** inputs, float** outputs, std::int32_t begin, std::int32_t end);
};

}  // namespace tramvek
