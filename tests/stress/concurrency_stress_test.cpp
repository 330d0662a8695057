// The audio thread processes without pause while a host thread and an editor
// thread change everything they can reach: parameters, programs, chunks (valid
// and malformed), MIDI learn, and every command the editor sends, while the
// editor reads the view the engine publishes. Under
// the sanitizers nothing may crash or touch memory out of bounds, and every
// output sample must stay finite and bounded.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "params/chunk_layout.h"
#include "support/engine_state_access.h"

namespace tramvek::test {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

constexpr int kLargestBlock = 2048;
// A malformed chunk's frozen audio may hold samples up to 1e6 (where the
// engine clamps what it loads; a flipped top byte of a silent sample is one),
// and the voice raises a sample by at most the filter's resonance peak (about
// 18) and the interpolation's overshoot; overdub with keepBuffer at 1 climbs
// slowly. An unstable filter or a garbage read runs away far past this.
constexpr float kOutputBound = 1e9f;

// Only the audio thread asks for the time; it writes this record before each block.
VstTimeInfo audioTime{};

VstIntPtr VST_CALLBACK stressCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    if (opcode == audioMasterVersion) {
        return 2400;
    }
    if (opcode == audioMasterGetTime) {
        return reinterpret_cast<VstIntPtr>(&audioTime);
    }
    return 0;
}

double stressSeconds() {
    const char* text = std::getenv("TRAMVEK_STRESS_SECONDS");
    return text != nullptr ? std::atof(text) : 20.0;
}

// The first fault any thread finds; the others stop when one is recorded.
class FaultLog {
  public:
    void record(const std::string& fault) {
        std::lock_guard lock(mutex_);
        if (fault_.empty()) {
            fault_ = fault;
        }
        found_ = true;
    }
    bool found() const { return found_.load(); }
    std::string fault() const {
        std::lock_guard lock(mutex_);
        return fault_;
    }

  private:
    mutable std::mutex mutex_;
    std::string fault_;
    std::atomic<bool> found_{false};
};

struct Shared {
    SlicerPlugin effect{&stressCallback};
    std::atomic<bool> stop{false};
    FaultLog faults;
    std::vector<Bytes> validChunks;  // bank chunks (frozen, default) and a preset chunk

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr) {
        return effect.effect.dispatcher(&effect.effect, opcode, index, value, ptr, 0.0f);
    }
    bool running() const { return !stop.load() && !faults.found(); }
};

Bytes saveChunk(Shared& s, bool preset) {
    void* data = nullptr;
    VstIntPtr size = s.dispatch(effGetChunk, preset ? 1 : 0, 0, &data);
    if (data == nullptr || size <= 0) {
        return {};
    }
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return Bytes(bytes, bytes + size);
}

// --- the audio thread ---

void fillInput(std::mt19937& random, std::vector<float>& left, std::vector<float>& right, int frames) {
    std::uniform_real_distribution<float> sample(-1.0f, 1.0f);
    bool silent = std::uniform_int_distribution<int>(0, 3)(random) == 0;
    for (int i = 0; i < frames; ++i) {
        left[static_cast<std::size_t>(i)] = silent ? 0.0f : sample(random);
        right[static_cast<std::size_t>(i)] = silent ? 0.0f : sample(random);
    }
}

void moveTransport(std::mt19937& random, int frames, double& ppq, double& tempo) {
    int event = std::uniform_int_distribution<int>(0, 99)(random);
    if (event == 0) {
        tempo = std::uniform_real_distribution<double>(20.0, 300.0)(random);
    } else if (event == 1) {
        ppq = std::uniform_real_distribution<double>(-8.0, 1e6)(random);
    } else if (event == 2) {
        ppq = std::floor(ppq / 4.0) * 4.0;  // a loop back to the bar start
    }
    audioTime = VstTimeInfo{};
    audioTime.sampleRate = 44100.0;
    audioTime.tempo = tempo;
    audioTime.ppqPos = ppq;
    audioTime.flags = kVstTransportPlaying | kVstTempoValid | kVstPpqPosValid;
    ppq += frames * tempo / (60.0 * 44100.0);
}

// A burst of notes and controllers, partly on the learned ones.
void sendMidi(Shared& s, std::mt19937& random, int frames) {
    int count = std::uniform_int_distribution<int>(0, 16)(random);
    std::vector<VstMidiEvent> events(static_cast<std::size_t>(count));
    std::vector<std::uint8_t> storage(sizeof(VstEvents) +
                                      static_cast<std::size_t>(count + 2) * sizeof(VstEvent*));
    auto* list = reinterpret_cast<VstEvents*>(storage.data());
    list->numEvents = count;
    std::uniform_int_distribution<int> byte(0, 255);
    for (int i = 0; i < count; ++i) {
        VstMidiEvent& e = events[static_cast<std::size_t>(i)];
        e.type = kVstMidiType;
        e.byteSize = sizeof(VstMidiEvent);
        e.deltaFrames = std::uniform_int_distribution<int>(0, std::max(frames - 1, 0))(random);
        const int kinds[] = {0x90, 0x80, 0xB0, byte(random)};
        e.midiData[0] = static_cast<char>(kinds[std::uniform_int_distribution<int>(0, 3)(random)]);
        e.midiData[1] = static_cast<char>(byte(random));
        e.midiData[2] = static_cast<char>(byte(random));
        list->events[i] = reinterpret_cast<VstEvent*>(&e);
    }
    s.dispatch(effProcessEvents, 0, 0, list);
}

void checkOutput(Shared& s, const std::vector<float>& out, int frames, long block) {
    for (int i = 0; i < frames; ++i) {
        float v = out[static_cast<std::size_t>(i)];
        if (!std::isfinite(v) || std::fabs(v) > kOutputBound) {
            s.faults.record("block " + std::to_string(block) + " sample " + std::to_string(i) + " is " +
                            std::to_string(v));
            return;
        }
    }
}

long audioThread(Shared& s) {
    std::mt19937 random(1);
    std::vector<float> inL(kLargestBlock), inR(kLargestBlock), outL(kLargestBlock), outR(kLargestBlock);
    double ppq = 0.0;
    double tempo = 120.0;
    long blocks = 0;
    AEffect& e = s.effect.effect;
    while (s.running()) {
        int frames = std::uniform_int_distribution<int>(0, 9)(random) == 0
                         ? 0
                         : std::uniform_int_distribution<int>(1, kLargestBlock)(random);
        fillInput(random, inL, inR, frames);
        moveTransport(random, frames, ppq, tempo);
        sendMidi(s, random, frames);
        float* in[2] = {inL.data(), inR.data()};
        float* out[2] = {outL.data(), outR.data()};
        e.processReplacing(&e, in, out, frames);
        checkOutput(s, outL, frames, blocks);
        checkOutput(s, outR, frames, blocks);
        ++blocks;
    }
    return blocks;
}

// --- the host's user-interface thread ---

Bytes malformed(const Bytes& valid, std::mt19937& random) {
    std::uniform_int_distribution<int> byte(0, 255);
    switch (std::uniform_int_distribution<int>(0, 4)(random)) {
        case 0:
            return Bytes(valid.begin(), valid.begin() + static_cast<std::ptrdiff_t>(
                                                            std::uniform_int_distribution<std::size_t>(
                                                                0, valid.size())(random)));
        case 1: {
            Bytes longer = valid;
            longer.resize(valid.size() + 8 * SlicerEngine::kBufferCapacity / 4, 0x41);
            return longer;
        }
        case 2: {
            Bytes noise(valid.size());
            std::generate(noise.begin(), noise.end(),
                          [&] { return static_cast<std::uint8_t>(byte(random)); });
            return noise;
        }
        case 3: {
            Bytes flipped = valid;
            for (int i = 0; i < 32; ++i) {
                flipped[std::uniform_int_distribution<std::size_t>(0, flipped.size() - 1)(random)] ^= 0xFF;
            }
            return flipped;
        }
        default:
            return Bytes(valid.size(), 0xFF);
    }
}

void hostAction(Shared& s, std::mt19937& random) {
    AEffect& e = s.effect.effect;
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    char text[256] = {};
    switch (std::uniform_int_distribution<int>(0, 9)(random)) {
        case 0:
        case 1:
            e.setParameter(&e, std::uniform_int_distribution<VstInt32>(-1, 9)(random), unit(random));
            break;
        case 2:
            e.getParameter(&e, std::uniform_int_distribution<VstInt32>(0, 7)(random));
            s.dispatch(effGetParamDisplay, std::uniform_int_distribution<VstInt32>(0, 7)(random), 0, text);
            break;
        case 3:
            s.dispatch(effSetProgram, 0, std::uniform_int_distribution<VstIntPtr>(-1, 16)(random));
            s.dispatch(effGetProgramName, 0, 0, text);
            break;
        case 4:
            saveChunk(s, std::uniform_int_distribution<int>(0, 1)(random) == 1);
            break;
        case 5:
        case 6: {
            Bytes chunk = s.validChunks[std::uniform_int_distribution<std::size_t>(
                0, s.validChunks.size() - 1)(random)];
            bool preset = chunk.size() == 60;
            s.dispatch(effSetChunk, preset ? 1 : 0, static_cast<VstIntPtr>(chunk.size()), chunk.data());
            break;
        }
        case 7: {
            const Bytes& valid = s.validChunks[std::uniform_int_distribution<std::size_t>(
                0, s.validChunks.size() - 1)(random)];
            Bytes bad = malformed(valid, random);
            bad.push_back(0);  // never hand over a null pointer
            s.dispatch(effSetChunk, std::uniform_int_distribution<VstInt32>(0, 1)(random),
                       static_cast<VstIntPtr>(bad.size() - 1), bad.data());
            break;
        }
        case 8: {
            const float odd[] = {-1.0f, 2.0f, 1e30f, std::numeric_limits<float>::quiet_NaN(),
                                 std::numeric_limits<float>::infinity()};
            e.setParameter(&e, std::uniform_int_distribution<VstInt32>(0, 7)(random),
                           odd[std::uniform_int_distribution<int>(0, 4)(random)]);
            break;
        }
        default:
            s.dispatch(effMainsChanged, 0, std::uniform_int_distribution<int>(0, 1)(random));
            break;
    }
}

long hostThread(Shared& s) {
    std::mt19937 random(2);
    long actions = 0;
    while (s.running()) {
        hostAction(s, random);
        ++actions;
    }
    return actions;
}

// --- the editor thread: every command the views send, indexes a little
// beyond their ranges on purpose, and the view they draw ---

EngineCommand editorCommand(std::mt19937& random, Clock::time_point& lastFlush) {
    using Kind = EngineCommand::Kind;
    std::uniform_real_distribution<float> value(-0.25f, 1.25f);
    auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<std::int32_t>(low, high)(random);
    };
    auto kind = static_cast<Kind>(pick(0, static_cast<int>(Kind::kNewVariation)));
    // The audio thread clears both buffers, its slowest job: a few times a
    // second, as a user could, so the blocks keep their pace.
    if (kind == Kind::kFlushBuffer) {
        if (Clock::now() - lastFlush < std::chrono::milliseconds(200)) {
            kind = Kind::kSetStepValue;
        } else {
            lastFlush = Clock::now();
        }
    }
    if (kind == Kind::kSetStepValue) {
        return {kind, pick(-2, 260), pick(-1, 9), value(random)};
    }
    return {kind, pick(-1, 33), 0, value(random)};
}

void editorAction(SlicerPlugin& x, std::mt19937& random, Clock::time_point& lastFlush) {
    if (std::uniform_int_distribution<int>(0, 3)(random) != 0) {
        x.engine().post(editorCommand(random, lastFlush), CommandSource::kEditor);
        return;
    }
    // What the editor reads to draw: the values, the shown pattern, the waveform.
    const EngineView& view = x.engine().latestView();
    float sum = 0.0f;
    for (std::int32_t k = 0; k < view.waveformCount; ++k) {
        sum += view.waveformLeft[k] + view.waveformRight[k];
    }
    for (const auto& lane : view.patternSteps) {
        for (float step : lane) {
            sum += step;
        }
    }
    if (!std::isfinite(sum) || view.waveformCount > EngineView::kWaveformColumns) {
        std::abort();  // the buffers and the pattern store hold finite values only
    }
}

long editorThread(Shared& s) {
    std::mt19937 random(3);
    long actions = 0;
    Clock::time_point lastFlush = Clock::now();
    while (s.running()) {
        editorAction(s.effect, random, lastFlush);
        ++actions;
    }
    return actions;
}

// Valid chunks to load while the audio runs: a bank with frozen audio, the
// default bank, and a preset.
void prepareChunks(Shared& s) {
    float* in[2];
    std::vector<float> left(kLargestBlock, 0.5f), right(kLargestBlock, -0.5f), out(2 * kLargestBlock);
    in[0] = left.data();
    in[1] = right.data();
    float* outs[2] = {out.data(), out.data() + kLargestBlock};
    s.validChunks.push_back(saveChunk(s, false));
    double ppq = 0.0;
    double tempo = 120.0;
    std::mt19937 random(4);
    for (int b = 0; b < 100; ++b) {
        moveTransport(random, 1024, ppq, tempo);
        s.effect.effect.processReplacing(&s.effect.effect, in, outs, 1024);
    }
    s.effect.engine().post({EngineCommand::Kind::kToggleFreeze}, CommandSource::kEditor);
    s.validChunks.push_back(saveChunk(s, false));
    s.effect.engine().post({EngineCommand::Kind::kToggleFreeze}, CommandSource::kEditor);
    s.validChunks.push_back(saveChunk(s, true));
}

TEST(ConcurrencyStress, AudioStaysSoundWhileHostAndEditorChangeEverything) {
    Shared s;
    s.dispatch(effOpen);
    s.effect.effect.dispatcher(&s.effect.effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    s.dispatch(effSetBlockSize, 0, kLargestBlock);
    s.dispatch(effMainsChanged, 0, 1);
    prepareChunks(s);
    ASSERT_EQ(s.validChunks.size(), 3u);
    for (const Bytes& chunk : s.validChunks) {
        ASSERT_FALSE(chunk.empty());
    }

    long blocks = 0, hostActions = 0, editorActions = 0;
    std::thread audio([&] { blocks = audioThread(s); });
    std::thread host([&] { hostActions = hostThread(s); });
    std::thread editor([&] { editorActions = editorThread(s); });
    auto end = Clock::now() + std::chrono::duration<double>(stressSeconds());
    while (Clock::now() < end && !s.faults.found()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    s.stop = true;
    audio.join();
    host.join();
    editor.join();

    EXPECT_FALSE(s.faults.found()) << s.faults.fault();
    // Each thread really ran: a stalled one would make the test prove nothing.
    EXPECT_GT(blocks, 100);
    EXPECT_GT(hostActions, 100);
    EXPECT_GT(editorActions, 1000);
    std::printf("%ld blocks, %ld host actions, %ld editor actions\n", blocks, hostActions, editorActions);
}

std::uint32_t chunkU32(const Bytes& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t k = 0; k < 4; ++k) {
        value |= static_cast<std::uint32_t>(bytes.at(at + k)) << (8 * k);
    }
    return value;
}

// While the audio thread plays, and again once the host suspended it: the
// value a host sets is the one it reads back at once, and a save right after
// an edit carries it.
TEST(ConcurrencyStress, TheHostReadsBackWhatItSetAndASaveCarriesEveryEdit) {
    namespace layout = chunk_layout;
    Shared s;
    AEffect& e = s.effect.effect;
    s.dispatch(effOpen);
    e.dispatcher(&e, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    s.dispatch(effMainsChanged, 0, 1);
    std::atomic<bool> playing{true};
    std::thread audio([&] {
        std::vector<float> left(256), right(256);
        float* io[2] = {left.data(), right.data()};
        std::mt19937 random(6);
        double ppq = 0.0;
        double tempo = 120.0;
        while (playing.load()) {
            moveTransport(random, 256, ppq, tempo);
            e.processReplacing(&e, io, io, 256);
        }
    });
    std::mt19937 random(5);
    const auto edits = [&](const char* phase) {
        for (int round = 0; round < 40; ++round) {
            const auto index = std::uniform_int_distribution<VstInt32>(0, 7)(random);
            const float value = std::uniform_real_distribution<float>(0.0f, 1.0f)(random);
            const auto pattern = std::uniform_int_distribution<std::int32_t>(0, 7)(random);
            e.setParameter(&e, index, value);
            EXPECT_EQ(e.getParameter(&e, index), value) << phase;
            s.effect.engine().post({EngineCommand::Kind::kSelectPattern, pattern}, CommandSource::kHost);
            const Bytes bank = saveChunk(s, false);
            ASSERT_GT(bank.size(), layout::kBankAudio) << phase;
            const auto samples = static_cast<std::int32_t>(chunkU32(bank, layout::kBankPatternSamples));
            EXPECT_EQ(chunkU32(bank, layout::extensionOffset(samples) + layout::kExtCurrentPattern), pattern)
                << phase;
            // Program 0's record comes first.
            EXPECT_EQ(std::bit_cast<float>(chunkU32(bank, layout::kRecordParams + 4 * index)), value)
                << phase;
        }
    };
    edits("playing");
    playing = false;
    audio.join();
    s.dispatch(effMainsChanged, 0, 0);
    edits("suspended");
}

}  // namespace
}  // namespace tramvek::test
