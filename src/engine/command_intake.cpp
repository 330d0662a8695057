// Commands from other threads: queued by the posting thread, applied by the
// one thread that holds the claim, normally the audio thread at the start of
// its calls. While no audio thread runs a posting thread applies itself, so a
// command still takes effect before the next block and a save after it sees
// it; the view the editor draws is then published by that thread too. The
// audio thread publishes a view at most every 15 ms of audio, and only while
// an editor reads them.
//
// The claim keeps two threads from applying (and publishing) at once. The
// audio thread marks itself running before it claims, a posting thread
// checks the mark after it claimed: so while the audio runs, posting threads
// leave the commands to it. Only in the moment the audio starts again (the
// first block after a stop or a suspend, or a host that suspends while its
// audio thread still runs) can a block run beside a posting thread's apply:
// the block then applies nothing and publishes nothing, and every field it
// shares with the apply is an atomic.
#include <chrono>
#include <cmath>
#include <thread>

#include "engine/engine_limits.h"
#include "engine/slicer_engine.h"
#include "params/parameter_table.h"

namespace tramvek {
namespace {

// Tells the audio thread's calls from the others. Not a thread_local: a
// library a host loads and unloads keeps no thread storage behind.
std::thread::id thisThread() {
    return std::this_thread::get_id();
}
static_assert(std::atomic<std::thread::id>::is_always_lock_free, "the audio thread's mark takes no lock");

// Counters wrap: `done` has reached `target` when it is not behind it.
bool reached(std::uint32_t done, std::uint32_t target) {
    return static_cast<std::int32_t>(done - target) >= 0;
}

// How long a save or a load waits for the audio thread to apply what was
// posted before it takes over: more than the longest block a host sends.
constexpr auto kSettlePoll = std::chrono::milliseconds(1);
constexpr int kSettlePolls = 250;
constexpr std::int32_t kViewIntervalMs = 15;

}  // namespace

bool SlicerEngine::claimApplying() {
    return !applying_.exchange(true, std::memory_order_seq_cst);
}

void SlicerEngine::releaseApplying() {
    applying_.store(false, std::memory_order_release);
}

bool SlicerEngine::beginAudioCall() {
    // Stores only on a change: the block's cost stays that of the claim.
    if (audioThread_.load(std::memory_order_relaxed) != thisThread()) {
        audioThread_.store(thisThread(), std::memory_order_relaxed);
    }
    if (!audioRunning_.load(std::memory_order_relaxed)) {
        audioRunning_.store(true, std::memory_order_seq_cst);
    }
    if (!claimApplying()) {
        return false;
    }
    drainCommands();
    return true;
}

void SlicerEngine::drainCommands() {
    // The host's parameter changes reach an open editor, as its other changes do on their own.
    bool hostParameters = false;
    for (const EngineCommand* command = hostCommands_.front(); command != nullptr;
         command = hostCommands_.front()) {
        apply(*command);
        hostParameters = hostParameters || command->kind == EngineCommand::Kind::kSetParameter;
        hostCommands_.pop();
    }
    for (const EngineCommand* command = editorCommands_.front(); command != nullptr;
         command = editorCommands_.front()) {
        apply(*command);
        editorCommands_.pop();
    }
    if (hostParameters) {
        notifyListener(true);
    }
}

bool SlicerEngine::applyPendingIfIdle() {
    const bool audioHere = audioThread_.load(std::memory_order_relaxed) == thisThread();
    if ((audioRunning_.load(std::memory_order_seq_cst) && !audioHere) || !claimApplying()) {
        return false;
    }
    // The audio may have started between the check and the claim: it is left the commands.
    if (audioRunning_.load(std::memory_order_seq_cst) && !audioHere) {
        releaseApplying();
        return false;
    }
    drainCommands();
    publishView();
    releaseApplying();
    return true;
}

void SlicerEngine::postSurely(const EngineCommand& command, CommandSource source) {
    while (!post(command, source)) {
        settleCommands();  // a full queue empties within a block
    }
}

bool SlicerEngine::post(const EngineCommand& command, CommandSource source) {
    if (command.kind == EngineCommand::Kind::kFlushBuffer) {
        // A load not yet played gives way: the user asked for empty buffers last.
        loadedAudio.cancel();
    }
    if (audioThread_.load(std::memory_order_relaxed) == thisThread()) {
        // The audio thread itself, between its calls (an offline render, a
        // host automating from it): it is the applying thread.
        apply(command);
        mirrorParameter(command);
        if (source == CommandSource::kHost && command.kind == EngineCommand::Kind::kSetParameter) {
            notifyListener(true);
        }
        return true;
    }
    const auto push = [&] {
        if (source == CommandSource::kEditor) {
            return editorCommands_.push(command);
        }
        // Hosts may call from more than one thread of their own (never the
        // audio thread, which applies above): they take turns at the queue.
        while (hostPosting_.test_and_set(std::memory_order_acquire)) {
            std::this_thread::yield();
        }
        const bool pushed = hostCommands_.push(command);
        hostPosting_.clear(std::memory_order_release);
        return pushed;
    };
    bool queued = push();
    if (!queued && applyPendingIfIdle()) {
        queued = push();
    }
    if (!queued) {
        return false;
    }
    mirrorParameter(command);
    applyPendingIfIdle();
    return true;
}

void SlicerEngine::settleCommands() {
    const std::uint32_t editorTarget = editorCommands_.pushed();
    const std::uint32_t hostTarget = hostCommands_.pushed();
    // Bounded: a save from inside an audio call (whose claim this thread holds) must not hang.
    for (int poll = 0; poll < 2 * kSettlePolls && (!reached(editorCommands_.done(), editorTarget) ||
                                                   !reached(hostCommands_.done(), hostTarget));
         ++poll) {
        if (applyPendingIfIdle()) {
            continue;
        }
        if (poll >= kSettlePolls) {
            // The host stopped calling the audio without a suspend: this thread takes over.
            audioRunning_.store(false, std::memory_order_seq_cst);
        }
        std::this_thread::sleep_for(kSettlePoll);
    }
}

void SlicerEngine::publishViewEvery(std::int32_t frames) {
    const std::int32_t rate = hostSampleRate > 0 ? hostSampleRate.load() : kFallbackSampleRate;
    samplesSinceView_ += frames > 0 ? frames : 0;
    // Only views an editor asked for since the last one: without a reader the block pays nothing.
    if (samplesSinceView_ >= rate / 1000 * kViewIntervalMs && viewWanted_.load(std::memory_order_relaxed) &&
        viewWanted_.exchange(false, std::memory_order_relaxed)) {
        publishView();
    }
}

void SlicerEngine::publishView() {
    fillView(views_.back());
    views_.publish();
    samplesSinceView_ = 0;
}

const EngineView& SlicerEngine::latestView() {
    viewWanted_.store(true, std::memory_order_relaxed);
    applyPendingIfIdle();
    return views_.read();
}

void SlicerEngine::mirrorParameter(const EngineCommand& command) {
    if (command.kind == EngineCommand::Kind::kSetParameter && isParamIndex(command.a) &&
        std::isfinite(command.value)) {
        requestedParams[command.a] = command.value;
    }
}

void SlicerEngine::mirrorProgram() {
    requestedProgram = currentProgram.load();
    for (std::int32_t index = 0; index < kParamCount; ++index) {
        requestedParams[index] = paramValues[index].load();
    }
}

}  // namespace tramvek
