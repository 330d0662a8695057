// The slicer engine: records the input on the musical grid pattern by pattern
// and plays the previous pattern back one slice per step, as the step
// sequencer, the parameters and MIDI notes say. Plain C++: the plug-in format
// around it (src/plugin) turns host calls into these.
//
// Threads: each engine field has one writer, the thread that applies
// commands. That is the audio thread, which applies at the start of each
// of its calls what other threads posted (the editor's and the host's,
// one queue each). While no audio thread runs (before the first block,
// after a suspend) a posting thread applies itself; a claim makes sure that
// two threads never apply at once, and a command from the audio thread's
// own thread (an offline render, a test) applies at once. What other threads
// show they read from the view the applying thread publishes. No call takes
// a lock, and the audio thread's calls never allocate.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <thread>

#include "engine/command_queue.h"
#include "engine/editor_snapshot.h"
#include "engine/engine_command.h"
#include "engine/engine_counts.h"
#include "engine/engine_state.h"
#include "engine/engine_view.h"
#include "engine/midi_message.h"
#include "engine/parameter_report.h"
#include "engine/transport_position.h"
#include "engine/triple_buffer.h"
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

    // --- Parameters and programs (out-of-range indices are ignored) ---
    // The applying thread (see the threads above): sets the value at once.
    void setParameter(std::int32_t index, float value);
    void selectProgram(std::int32_t program);
    // Any thread: as a command from the host; the listener hears of it (host
    // automation, an open editor follows).
    void setParameterFromHost(std::int32_t index, float value);
    void selectProgramFromHost(std::int32_t program);
    // Any thread: the value and program last set or posted, even before the
    // audio thread applies them, as hosts read them back.
    float parameter(std::int32_t index) const;
    std::int32_t currentProgramIndex() const;
    // The current program's name as hosts show it (default names numbered).
    void currentProgramName(char* text) const;
    void renameCurrentProgram(const char* text);

    // --- State as bytes (the host's threads) ---
    // Saving changes nothing the user hears or sees.
    SavedBytes saveState(bool preset);
    // A damaged or foreign state is refused whole: false, nothing changed.
    bool loadState(const std::uint8_t* data, std::size_t size, bool preset);
    // Makes `samples` samples of each channel (at the rate the audio runs at)
    // the frozen pattern and turns freeze on: the audio thread takes them
    // whole, as it takes a loaded bank's. False (nothing changed) when the
    // count does not fit the buffers or no memory is left.
    bool loadFrozenAudio(const float* left, const float* right, std::int32_t samples);

    // Waiting starts are dropped and the clock takes the host's position
    // afresh; the audio thread does it before its next events or block.
    // Until the next block, posted commands apply on the posting thread.
    void suspend();
    // The host's activation, before its audio thread runs: the buffers' pages
    // are made resident once, so that recording takes no page fault.
    void activate();
    // The host's sample rate, when it says so outside a block (activation,
    // effSetSampleRate); blocks without time information run at it.
    void setSampleRate(double rate);

    // --- Editor operations (the applying thread; out-of-range indices are ignored) ---
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

    // One edit as a record, on the applying thread: runs the operation it names.
    void apply(const EngineCommand& command);
    // From the editor's one thread, or any of the host's: the command takes
    // effect before the next block (at once from the audio thread itself),
    // and a save after it sees it. False when its queue is full while the
    // audio thread runs: the command is dropped.
    bool post(const EngineCommand& command, CommandSource source);
    // The same for a command that must not be dropped: waits while the queue is full.
    void postSurely(const EngineCommand& command, CommandSource source);

    // --- What the editor shows ---
    // The applying thread: everything an editor draws, read once: the
    // snapshot, the shown pattern's steps and the waveform overview.
    void fillView(EngineView& view) const;
    // The editor's thread (one reader): the view last published; while no
    // audio thread runs, one made now.
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
    // Commands (command_intake.cpp).
    bool claimApplying();
    void releaseApplying();
    // Audio calls begin with it: true when this call applies (and publishes).
    bool beginAudioCall();
    void drainCommands();
    // While no audio thread runs: applies what is queued and publishes the view.
    bool applyPendingIfIdle();
    // Until every command posted so far is applied.
    void settleCommands();
    void publishViewEvery(std::int32_t frames);
    void publishView();
    void applyParameter(std::int32_t index, float value);
    void mirrorParameter(const EngineCommand& command);
    void mirrorProgram();
    void initialisePatternStore();
    void initialisePrograms();
    void initialisePitchRatios();
    void applyProgram(std::int32_t program);
    std::int32_t playingProgramIndex() const;
    StoredProgram& currentProgramRecord();
    const StoredProgram& currentProgramRecord() const;
    void dropWaitingStartsIfSuspended();
    // Calls read(left, right) with SampleReaders of the play buffers as the
    // editor and saves see them.
    template <typename Read>
    void readVisibleAudio(Read read) const {
        const float* left = nullptr;
        const float* right = nullptr;
        const LoadedAudio::Reader loaded(loadedAudio);
        if (loaded.pending(left, right)) {
            read(SampleReader(left), SampleReader(right));
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
    // A load's settings on their way to the applying thread: a copy of the
    // chunk without its audio, owned by the loading thread until applied.
    struct PendingLoad {
        const std::uint8_t* bytes = nullptr;
        std::size_t size = 0;
        bool preset = false;
        bool frozen = false;
        std::int32_t patternSamples = 0;
    };
    // Hands `head` and `tail` (joined) to the applying thread and waits until applied.
    void handOverLoad(const std::uint8_t* head, std::size_t headSize, const std::uint8_t* tail,
                      std::size_t tailSize, PendingLoad load);
    void applyPendingLoad();
    void applyBankSettings(const PendingLoad& load);

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
    // Set by the loading thread before it posts the load, read by the applying thread.
    PendingLoad pendingLoad_;
    static constexpr std::uint32_t kEditorQueueSize = 256;
    static constexpr std::uint32_t kHostQueueSize = 1024;
    CommandQueue<EngineCommand, kEditorQueueSize> editorCommands_;
    CommandQueue<EngineCommand, kHostQueueSize> hostCommands_;
    std::atomic_flag hostPosting_ = ATOMIC_FLAG_INIT;
    // Set by each audio call, cleared by suspend().
    std::atomic<bool> audioRunning_{false};
    bool pagesResident_ = false;  // the host's thread's alone (activate)
    // The thread that made the last audio call.
    std::atomic<std::thread::id> audioThread_{};
    // Held by the one thread that applies commands and publishes the view.
    std::atomic<bool> applying_{false};
    TripleBuffer<EngineView> views_;
    // Set by each read of the view, cleared by the audio thread's publish.
    std::atomic<bool> viewWanted_{true};
    std::int32_t samplesSinceView_ = 0;
};

}  // namespace tramvek
