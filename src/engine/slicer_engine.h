// The slicer engine: records the input on the musical grid pattern by pattern
// and plays the previous pattern back one slice per step, as the step
// sequencer, the parameters and MIDI notes say. Plain C++: the plug-in format
// around it (src/plugin) turns host calls into these.
//
// Threads: the audio thread calls the "audio thread" group; everything else
// may come from the host's other threads and the editor at any time. No call
// takes a lock, and the audio thread's calls never allocate.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "engine/editor_snapshot.h"
#include "engine/engine_command.h"
#include "engine/engine_counts.h"
#include "engine/engine_state.h"
#include "engine/engine_view.h"
#include "engine/midi_message.h"
#include "engine/parameter_report.h"
#include "engine/transport_position.h"
#include "params/chunk_layout.h"

namespace tramvek {

class SlicerEngine;

// The threads that send the engine commands, each through a queue of its own.
enum class CommandSource : std::int32_t { kEditor, kHost };

// White-box tests' one way into the private state (defined in tests/support).
EngineState& engineStateForTests(SlicerEngine& engine);

class SlicerEngine : public EngineCounts, private EngineState {
  public:
    // Told (from whichever thread made the change) when values an editor or
    // the host shows changed. `hostShouldRefresh`: the host's own display of
    // parameters and programs is stale too.
    class Listener {
      public:
        virtual void engineValuesChanged(bool hostShouldRefresh) = 0;

      protected:
        ~Listener() = default;
    };

    // A saved state: bytes the engine keeps until the next save.
    struct SavedBytes {
        const std::uint8_t* data = nullptr;
        std::int32_t size = 0;
    };

    SlicerEngine();
    ~SlicerEngine();
    SlicerEngine(const SlicerEngine&) = delete;
    SlicerEngine& operator=(const SlicerEngine&) = delete;

    // False when one of the large buffers could not be obtained.
    bool allocationsSucceeded() const;
    // Set before the engine is shared between threads; a listener that goes
    // away forgets itself (a newer one stays).
    void setListener(Listener* listener) { listener_ = listener; }
    void forgetListener(const Listener* listener) {
        if (listener_ == listener) {
            listener_ = nullptr;
        }
    }
    // Set before the engine is shared between threads; null reports nothing.
    void setParameterReport(ParameterReport* report) { parameterReport_ = report; }

    // --- Audio thread ---
    // `position` is null when the host gave no time information. Replacing
    // writes the outputs; accumulating adds to them (its own, older chain).
    void processReplacing(float** inputs, float** outputs, std::int32_t frames,
                          const TransportPosition* position);
    void processAccumulating(float** inputs, float** outputs, std::int32_t frames,
                             const TransportPosition* position);
    void receiveMidi(const MidiMessage* messages, std::int32_t count);

    // --- Parameters and programs (any thread; out-of-range indices are ignored) ---
    void setParameter(std::int32_t index, float value);
    // The same, and the listener hears of it (host automation, an open editor follows).
    void setParameterFromHost(std::int32_t index, float value);
    float parameter(std::int32_t index) const;
    void selectProgram(std::int32_t program);
    std::int32_t currentProgramIndex() const;
    // The current program's name as hosts show it (default names numbered).
    void currentProgramName(char* text) const;
    void renameCurrentProgram(const char* text);

    // --- State as bytes (the host's threads) ---
    // Saving changes nothing the user hears or sees.
    SavedBytes saveState(bool preset);
    // A damaged or foreign state is refused whole: false, nothing changed.
    bool loadState(const std::uint8_t* data, std::size_t size, bool preset);

    // Waiting starts are dropped and the clock takes the host's position
    // afresh; the audio thread does it before its next events or block.
    void suspend();
    // The host's sample rate, when it says so outside a block (activation,
    // effSetSampleRate); blocks without time information run at it.
    void setSampleRate(double rate);

    // --- Editor operations (editor thread; out-of-range indices are ignored) ---
    void setStepValue(std::int32_t step, float value, std::int32_t lane);
    // The same by slot of the current bank (the pattern's first slot plus its step).
    void setSlotValue(std::int32_t slot, float value, std::int32_t lane);
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
    // Chance draws anew: another seed, the same share of steps playing.
    void newVariation();
    void setVariationSeed(std::uint32_t seed);

    // One edit as a record: runs the operation it names.
    void apply(const EngineCommand& command);
    // From `source`'s thread: the command takes effect before the next block.
    // False when it could not be queued.
    bool post(const EngineCommand& command, CommandSource source);

    // --- What the editor shows (any thread) ---
    // Everything an editor draws, read once: the snapshot, the shown
    // pattern's steps and the waveform overview of the played audio.
    void fillView(EngineView& view) const;
    // The editor's thread: the view last published.
    const EngineView& latestView();
    EditorSnapshot snapshot() const;
    // Slot `slot` of `lane` in `bank`, 0..1 as stored.
    float stepValue(std::int32_t bank, std::int32_t lane, std::int32_t slot) const;
    // The play buffers as they sound: a loaded state's audio even before the
    // audio thread takes it, a flush once the audio thread has run a block after it.
    // Sample `index` of channel 0 (left) or 1 (right); 0 outside the buffers.
    float playedSample(std::int32_t channel, std::int32_t index) const;
    // Samples 0, stride, 2 stride ... of both channels: `count` of each.
    void samplePlayedAudio(std::int32_t stride, std::int32_t count, float* left, float* right) const;

  private:
    friend EngineState& engineStateForTests(SlicerEngine& engine);

    void notifyListener(bool hostShouldRefresh);
    void initialisePatternStore();
    void initialisePrograms();
    void initialisePitchRatios();
    void applyProgram(std::int32_t program);
    StoredProgram& currentProgramRecord();
    const StoredProgram& currentProgramRecord() const;
    void dropWaitingStartsIfSuspended();
    // Calls read(left, right) with the play buffers as the editor and saves
    // see them (read each sample with loadSample).
    template <typename Read>
    void readVisibleAudio(Read read) const {
        const float* left = nullptr;
        const float* right = nullptr;
        const LoadedAudio::Reader loaded(loadedAudio);
        if (loaded.pending(left, right)) {
            read(left, right);
            return;
        }
        playBuffers.readStable(read);
    }
    // At a block's start: a flush the editor asked for, then a load's audio.
    void takeOverBufferChanges();

    // Bank and preset chunks (state_chunk.cpp).
    SavedBytes saveBank();
    SavedBytes savePreset();
    bool loadBank(const std::uint8_t* in, std::size_t size);
    bool loadPreset(const std::uint8_t* in, std::size_t size);

    // The block loop: host sync, then the block in segments between the
    // samples at which steps and notes start.
    void runBlock(float** inputs, float** outputs, std::int32_t sampleFrames, bool replacing,
                  const TransportPosition* position);
    std::int32_t nextStartSample(std::int32_t sampleFrames) const;
    void startEverythingAt(std::int32_t at);
    void startBoundary(std::int64_t step, std::int32_t at);
    void startClockStep(std::int64_t step, std::int32_t at);
    // The playing step's hits after its first (step_variation.cpp).
    void armRepeatHits(std::int32_t at);
    std::int64_t nextHitSample() const;
    void startDueHits(std::int32_t at);
    void startNoteSlices(const TimedNote& note, std::int64_t recordStep);
    void queueNote(const TimedNote& note);
    void selectPatternsFor(std::int32_t note);
    // False when no more starts can wait: the step starts now.
    bool delayStep(std::int64_t step, std::int64_t at);
    void endBlock(std::int32_t sampleFrames);
    void renderReplacing(float** inputs, float** outputs, std::int32_t begin, std::int32_t end);
    void renderAccumulating(float** inputs, float** outputs, std::int32_t begin, std::int32_t end);

    // Step clock (step_clock.cpp). Once per block: places the block on the
    // clock's sample grid (blockStartSample, nextBoundary).
    void syncToHost(std::int32_t sampleFrames, const TransportPosition* position);
    // The sample step boundary `step` falls in, counted from the song start.
    std::int64_t boundarySample(std::int64_t step) const;
    // The first boundary (from the song's start) that falls at or after `sample`.
    std::int64_t firstBoundaryFrom(std::int64_t sample) const;
    // Prepares the start of `step` (a slot for note starts); the recording
    // moves to the grid position of step `recordStep`.
    void scheduleStep(std::int64_t step, std::int64_t recordStep, bool fromNote, float noteGain);
    void startStep();
    void copyRecordingToPlayback();

    // Voice start (voice.cpp).
    void startVoice();
    std::int32_t hitSamples() const;
    void computeEnvelopeRates();
    void updateFilter();
    void computeHoldLength();  // also run on the parameter path

    // MIDI input (midi_input.cpp).
    void handleNote(std::int32_t note, std::int32_t velocity, std::int32_t deltaFrames);
    void handleController(std::int32_t controller, std::int32_t value);

    // Big enough for the largest bank chunk a save produces.
    static constexpr std::size_t kChunkCapacity = chunk_layout::savedBankBytes(kBufferCapacity);
    struct FreeBytes {
        void operator()(std::uint8_t* bytes) const { std::free(bytes); }
    };

    Listener* listener_ = nullptr;
    ParameterReport* parameterReport_ = nullptr;
    // Chunk storage: a bank save's bytes (allocated by the first bank save and
    // reused, so a host may keep an older save's pointer), and the preset
    // handed to the host (each instance has its own, so two instances saving
    // at once never hand each other's data to the host).
    std::unique_ptr<std::uint8_t, FreeBytes> chunkData;
    std::uint8_t presetChunkOut[chunk_layout::kPresetBytes] = {};
    std::unique_ptr<EngineView> editorView_{new EngineView()};
};

}  // namespace tramvek
