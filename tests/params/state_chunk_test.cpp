#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

#include "params/chunk_bytes.h"
#include "params/editor_spy.h"
#include "support/engine_state_access.h"

namespace tramvek {
namespace {

using testing::Bytes;
using testing::getF32;
using testing::getI32;
using testing::loadChunk;
using testing::putF32;
using testing::putI32;
using testing::saveChunk;
using testing::stepAt;

constexpr std::size_t kFixedBankBytes = 74964;
// Chance, Repeat and the seed follow today's chunk.
constexpr std::size_t kVariationBytes = 20812;
constexpr std::size_t kSavedBankBytes = kFixedBankBytes + kVariationBytes;
constexpr float kDefaults[8] = {0.0f, 0.8f, 1.0f, 0.0f, 0.0f, 1.0f, 0.5f, 0.0f};

// A small deterministic generator, so failures reproduce on every platform.
class Noise {
  public:
    explicit Noise(std::uint32_t seed) : state_(seed) {}
    std::uint32_t next() {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }
    float unit() { return static_cast<float>(next() % 1000001u) / 1000000.0f; }
    std::int32_t below(std::int32_t n) {
        return static_cast<std::int32_t>(next() % static_cast<std::uint32_t>(n));
    }

  private:
    std::uint32_t state_;
};

std::unique_ptr<SlicerPlugin> freshEffect() {
    return std::make_unique<SlicerPlugin>(nullptr);
}

// Changes everything a bank chunk carries, and freezes N samples of audio.
void editEverything(SlicerPlugin& effect, std::int32_t frozenSamples, std::uint32_t seed) {
    Noise noise(seed);
    for (StoredProgram& program : stateOf(effect).programs) {
        for (Shared<float>& value : program.params) {
            value = noise.unit();
        }
        program.patternLength = 2 + noise.below(31);
        std::strcpy(program.name, "Edited");
    }
    for (auto& bank : stateOf(effect).steps) {
        for (auto& lane : bank) {
            for (Shared<float>& value : lane) {
                value = noise.unit();
            }
        }
    }
    for (Shared<std::int32_t>& number : stateOf(effect).paramControllers) {
        number = noise.below(128);
    }
    for (Shared<std::int32_t>& number : stateOf(effect).patternNotes) {
        number = noise.below(128);
    }
    for (Shared<std::int32_t>& number : stateOf(effect).sliceNotes) {
        number = noise.below(128);
    }
    stateOf(effect).variationSeed = noise.next();
    stateOf(effect).freeze = true;
    stateOf(effect).patternSamples = frozenSamples;
    for (std::int32_t i = 0; i < frozenSamples; ++i) {
        stateOf(effect).playBuffers.writable(0)[i] = noise.unit() * 2.0f - 1.0f;
        stateOf(effect).playBuffers.writable(1)[i] = noise.unit() * 2.0f - 1.0f;
    }
}

// The first `samples` of both play buffers as the engine shows and saves them.
bool samePlayedAudio(SlicerPlugin& a, SlicerPlugin& b, std::int32_t samples) {
    for (std::int32_t channel = 0; channel < 2; ++channel) {
        for (std::int32_t i = 0; i < samples; ++i) {
            const float left = a.engine().playedSample(channel, i);
            const float right = b.engine().playedSample(channel, i);
            if (std::memcmp(&left, &right, sizeof left) != 0) {
                return false;
            }
        }
    }
    return true;
}

void expectSameStoredState(SlicerPlugin& a, SlicerPlugin& b) {
    for (int p = 0; p < 16; ++p) {
        EXPECT_EQ(std::memcmp(stateOf(a).programs[p].params, stateOf(b).programs[p].params,
                              sizeof stateOf(a).programs[p].params),
                  0)
            << p;
        EXPECT_EQ(stateOf(a).programs[p].patternLength, stateOf(b).programs[p].patternLength) << p;
    }
    EXPECT_EQ(std::memcmp(stateOf(a).steps, stateOf(b).steps, sizeof stateOf(a).steps), 0);
    EXPECT_EQ(std::memcmp(stateOf(a).paramControllers, stateOf(b).paramControllers,
                          sizeof stateOf(a).paramControllers),
              0);
    EXPECT_EQ(std::memcmp(stateOf(a).patternNotes, stateOf(b).patternNotes, sizeof stateOf(a).patternNotes),
              0);
    EXPECT_EQ(std::memcmp(stateOf(a).sliceNotes, stateOf(b).sliceNotes, sizeof stateOf(a).sliceNotes), 0);
    EXPECT_EQ(stateOf(a).variationSeed, stateOf(b).variationSeed);
    EXPECT_EQ(stateOf(a).freeze, stateOf(b).freeze);
    EXPECT_EQ(stateOf(a).patternSamples, stateOf(b).patternSamples);
}

// --- Sizes and the saved layout ---

TEST(StateChunkSave, FreshBankIsTheFixedSizeWithDefaultPrograms) {
    auto effect = freshEffect();
    const Bytes bank = saveChunk(*effect);
    ASSERT_EQ(bank.size(), kSavedBankBytes);
    for (int p = 0; p < 16; ++p) {
        for (int i = 0; i < 8; ++i) {
            EXPECT_EQ(getF32(bank, 60 * p + 4 * i), kDefaults[i]) << p << "/" << i;
        }
        EXPECT_EQ(getI32(bank, 60 * p + 32), 16);
        EXPECT_STREQ(reinterpret_cast<const char*>(&bank[60 * p + 36]), "Init");
    }
    EXPECT_EQ(getF32(bank, stepAt(0, 0, 0)), 0.8f);
    EXPECT_EQ(getF32(bank, stepAt(3, 0, 649)), 0.0f);
    EXPECT_EQ(getF32(bank, stepAt(1, 4, 33)), 1.0f / 32.0f);
    EXPECT_EQ(getI32(bank, 73832), 48);        // slice 0
    EXPECT_EQ(getI32(bank, 73832 + 124), 79);  // slice 31
    EXPECT_EQ(bank[73824], 0);
    EXPECT_EQ(getI32(bank, 73828), 0);
}

TEST(StateChunkSave, SizeGrowsWithTheRecordedPatternAndPresetsAreSixtyBytes) {
    auto effect = freshEffect();
    stateOf(*effect).patternSamples = 1000;
    EXPECT_EQ(saveChunk(*effect).size(), kSavedBankBytes + 8000);
    stateOf(*effect).freeze = true;
    EXPECT_EQ(saveChunk(*effect).size(), kSavedBankBytes + 8000);
    EXPECT_EQ(saveChunk(*effect, true).size(), 60u);
}

TEST(StateChunkSave, EveryValueLandsAtItsOffsetLittleEndian) {
    auto effect = freshEffect();
    stateOf(*effect).programs[5].params[3] = 0.25f;
    stateOf(*effect).programs[15].patternLength = 7;
    stateOf(*effect).steps[3][6][649] = 1.0f;
    stateOf(*effect).paramControllers[3] = 74;
    stateOf(*effect).patternNotes[7] = 60;
    stateOf(*effect).freeze = true;
    stateOf(*effect).patternSamples = 3;
    stateOf(*effect).playBuffers.writable(0)[2] = -0.5f;
    stateOf(*effect).playBuffers.writable(1)[0] = 0.75f;
    const Bytes bank = saveChunk(*effect);
    ASSERT_EQ(bank.size(), kSavedBankBytes + 24);
    EXPECT_EQ(getF32(bank, 5 * 60 + 12), 0.25f);
    EXPECT_EQ(getI32(bank, 15 * 60 + 32), 7);
    const std::size_t lastStep = 960 + 4 * (3 * 4550 + 6 * 650 + 649);
    EXPECT_EQ(bank[lastStep + 0], 0x00);
    EXPECT_EQ(bank[lastStep + 1], 0x00);
    EXPECT_EQ(bank[lastStep + 2], 0x80);
    EXPECT_EQ(bank[lastStep + 3], 0x3F);
    EXPECT_EQ(lastStep + 4, 73760u);
    EXPECT_EQ(getI32(bank, 73760 + 12), 74);
    EXPECT_EQ(getI32(bank, 73792 + 28), 60);
    EXPECT_EQ(bank[73824], 1);
    EXPECT_EQ(getI32(bank, 73828), 3);
    EXPECT_EQ(getF32(bank, 73960 + 8), -0.5f);
    EXPECT_EQ(getF32(bank, 73960 + 12), 0.75f);
}

TEST(StateChunkSave, SavingChangesNothingAndTheBankCarriesTheEnginesProgramAndLength) {
    auto effect = freshEffect();
    effect->setProgram(4);
    effect->engine().setPatternLength(0.4f);  // 12 steps; program 4 keeps its 16
    const Bytes preset = saveChunk(*effect, true);
    const Bytes bank = saveChunk(*effect);
    EXPECT_EQ(stateOf(*effect).patternLength, 12);
    EXPECT_EQ(stateOf(*effect).patternLengthValue, 0.4f);
    EXPECT_EQ(getF32(preset, 4), 0.8f);
    EXPECT_EQ(getI32(preset, 32), 16);
    EXPECT_STREQ(reinterpret_cast<const char*>(&preset[36]), "Init");
    EXPECT_EQ(std::memcmp(&bank[73960 + 24], "TVX2", 4), 0);
    EXPECT_EQ(getI32(bank, 73960 + 28), 4);
    EXPECT_EQ(getI32(bank, 73960 + 32), 12);
    EXPECT_EQ(getF32(bank, 73960 + 36), 0.4f);
    EXPECT_TRUE(std::all_of(bank.begin() + 73960 + 40, bank.begin() + 73960 + 1004,
                            [](std::uint8_t b) { return b == 0; }));
}

TEST(StateChunkSave, EachInstanceHandsOutItsOwnPresetChunk) {
    auto first = freshEffect();
    auto second = freshEffect();
    first->setParameter(0, 0.25f);
    second->setParameter(0, 0.75f);
    void* firstData = nullptr;
    void* secondData = nullptr;
    first->getChunk(&firstData, true);
    second->getChunk(&secondData, true);
    float firstValue = 0.0f;
    std::memcpy(&firstValue, firstData, 4);
    EXPECT_NE(firstData, secondData);
    EXPECT_EQ(firstValue, 0.25f);
}

// --- Round trips ---

TEST(StateChunkRoundTrip, BankRestoresEverythingBitExactIntoAFreshInstance) {
    constexpr std::int32_t kSamples = 12345;
    auto original = freshEffect();
    editEverything(*original, kSamples, 7);
    Bytes bank = saveChunk(*original);
    ASSERT_EQ(bank.size(), kSavedBankBytes + 8 * kSamples);

    auto restored = freshEffect();
    EXPECT_EQ(loadChunk(*restored, bank), 73964);
    expectSameStoredState(*original, *restored);
    EXPECT_TRUE(samePlayedAudio(*original, *restored, kSamples));
    EXPECT_EQ(saveChunk(*restored), bank);
    // The audio thread takes the loaded audio over at its next block.
    float silence[64] = {};
    float* io[2] = {silence, silence};
    restored->processReplacing(io, io, 64);
    for (std::int32_t i = 0; i < kSamples; ++i) {
        ASSERT_EQ(stateOf(*restored).playBuffers.writable(0)[i], original->engine().playedSample(0, i)) << i;
    }
}

TEST(StateChunkRoundTrip, LargestFrozenPatternIsAccepted) {
    constexpr std::int32_t kSamples = 660999;
    auto original = freshEffect();
    editEverything(*original, kSamples, 11);
    Bytes bank = saveChunk(*original);
    ASSERT_EQ(bank.size(), kSavedBankBytes + 8u * kSamples);
    auto restored = freshEffect();
    ASSERT_EQ(loadChunk(*restored, bank), 73964);
    EXPECT_EQ(stateOf(*restored).patternSamples, kSamples);
    EXPECT_TRUE(samePlayedAudio(*original, *restored, kSamples));
}

TEST(StateChunkRoundTrip, ReloadingOurOwnChunkBufferKeepsTheState) {
    auto effect = freshEffect();
    editEverything(*effect, 500, 3);
    void* data = nullptr;
    const VstInt32 size = effect->getChunk(&data, false);
    const Bytes before = saveChunk(*effect);
    EXPECT_EQ(effect->setChunk(data, size, false), 73964);
    EXPECT_EQ(saveChunk(*effect), before);
}

TEST(StateChunkRoundTrip, BankLoadAppliesTheCurrentProgramAndTheEnginesPatternLength) {
    auto source = freshEffect();
    stateOf(*source).programs[3].params[2] = 0.3f;
    stateOf(*source).programs[3].patternLength = 8;
    std::strcpy(stateOf(*source).programs[3].name, "Saved");
    stateOf(*source).currentProgram = 3;
    source->engine().setPatternLength(0.4f);
    Bytes bank = saveChunk(*source);

    // As a host that selects a program first and restores the chunk after it.
    auto target = freshEffect();
    target->setProgram(0);
    ASSERT_EQ(loadChunk(*target, bank), 73964);
    EXPECT_EQ(stateOf(*target).currentProgram, 3);
    EXPECT_EQ(target->getParameter(2), 0.3f);
    EXPECT_FLOAT_EQ(stateOf(*target).cutoffSq, 0.09f);
    EXPECT_EQ(stateOf(*target).patternLength, 12);
    EXPECT_EQ(stateOf(*target).patternLengthValue, 0.4f);
    EXPECT_STREQ(stateOf(*target).programs[3].name, "Saved");

    // Today's chunks carry neither: the program that is current applies, with its stored length.
    std::fill(bank.begin() + 73960 + 24, bank.begin() + 73960 + 40, 0);
    auto older = freshEffect();
    older->setProgram(3);
    ASSERT_EQ(loadChunk(*older, bank), 73964);
    EXPECT_EQ(stateOf(*older).currentProgram, 3);
    EXPECT_EQ(older->getParameter(2), 0.3f);
    EXPECT_EQ(stateOf(*older).patternLength, 8);
    EXPECT_EQ(stateOf(*older).patternLengthValue, 0.25f);
}

TEST(StateChunkRoundTrip, UnfrozenBankLeavesThePlayBuffersAlone) {
    auto source = freshEffect();
    stateOf(*source).patternSamples = 100;
    Bytes bank = saveChunk(*source);
    auto target = freshEffect();
    std::fill_n(stateOf(*target).playBuffers.writable(0), 200, 0.5f);
    ASSERT_EQ(loadChunk(*target, bank), 73964);
    EXPECT_FALSE(stateOf(*target).freeze);
    EXPECT_EQ(stateOf(*target).patternSamples, 100);
    EXPECT_EQ(stateOf(*target).playBuffers.writable(0)[0], 0.5f);
    EXPECT_EQ(stateOf(*target).playBuffers.writable(0)[199], 0.5f);
}

TEST(StateChunkRoundTrip, PresetLoadReachesParametersAndPatternLength) {
    auto effect = freshEffect();
    effect->setProgram(2);
    Bytes preset(60, 0);
    const float values[8] = {0.2f, 0.5f, 0.6f, 0.1f, 0.0f, 0.9f, 0.25f, 0.3f};
    for (int i = 0; i < 8; ++i) {
        putF32(preset, 4 * i, values[i]);
    }
    putI32(preset, 32, 8);
    std::strcpy(reinterpret_cast<char*>(&preset[36]), "Other");
    EXPECT_EQ(loadChunk(*effect, preset, true), 60);
    EXPECT_EQ(effect->getParameter(0), 0.2f);
    EXPECT_EQ(stateOf(*effect).programs[2].params[7], 0.3f);
    EXPECT_EQ(stateOf(*effect).programs[0].params[0], 0.0f);
    EXPECT_EQ(stateOf(*effect).patternLength, 8);
    EXPECT_EQ(stateOf(*effect).patternLengthValue, 0.25f);
    EXPECT_EQ(stateOf(*effect).basePitch, -6);
    EXPECT_STREQ(stateOf(*effect).programs[2].name, "Other");
}

TEST(StateChunkRoundTrip, LoadsTellTheEditorAndSavesDoNot) {
    auto effect = freshEffect();
    testing::EditorWatch watch(*effect);
    Bytes bank = saveChunk(*effect);
    Bytes preset = saveChunk(*effect, true);
    EXPECT_EQ(watch.postUpdates, 0);
    EXPECT_FALSE(watch.panelRedraw.exchange(false));
    for (const bool isPreset : {false, true}) {
        const int before = watch.postUpdates;
        ASSERT_NE(loadChunk(*effect, isPreset ? preset : bank, isPreset), 0);
        EXPECT_EQ(watch.postUpdates, before + 1);
        EXPECT_TRUE(watch.panelRedraw.exchange(false));
    }
}

// --- A bank written by hand from the layout ---

TEST(StateChunkLoad, HandWrittenBankLoadsEveryField) {
    constexpr std::int32_t kSamples = 4;
    Bytes bank(kFixedBankBytes + 8 * kSamples, 0);
    for (int p = 0; p < 16; ++p) {
        for (int i = 0; i < 8; ++i) {
            putF32(bank, 60 * p + 4 * i, 0.01f * static_cast<float>(p * 8 + i));
        }
        putI32(bank, 60 * p + 32, 2 + p);
    }
    for (int b = 0; b < 4; ++b) {
        for (int l = 0; l < 7; ++l) {
            for (int s = 0; s < 650; ++s) {
                putF32(bank, stepAt(b, l, s), static_cast<float>((b * 7 + l) * 650 + s) / 18200.0f);
            }
        }
    }
    for (int i = 0; i < 8; ++i) {
        putI32(bank, 73760 + 4 * i, 10 + i);
        putI32(bank, 73792 + 4 * i, 60 + i);
    }
    bank[73824] = 1;
    putI32(bank, 73828, kSamples);
    for (int i = 0; i < 32; ++i) {
        putI32(bank, 73832 + 4 * i, 90 + i);
    }
    for (int i = 0; i < kSamples; ++i) {
        putF32(bank, 73960 + 4 * i, 0.1f * static_cast<float>(i + 1));
        putF32(bank, 73960 + 4 * kSamples + 4 * i, -0.1f * static_cast<float>(i + 1));
    }

    auto effect = freshEffect();
    ASSERT_EQ(loadChunk(*effect, bank), 73964);
    EXPECT_EQ(stateOf(*effect).programs[5].params[3], 0.01f * 43.0f);
    EXPECT_EQ(stateOf(*effect).programs[15].patternLength, 17);
    EXPECT_EQ(stateOf(*effect).steps[2][4][100], static_cast<float>((2 * 7 + 4) * 650 + 100) / 18200.0f);
    EXPECT_EQ(stateOf(*effect).steps[3][6][649], static_cast<float>(18199) / 18200.0f);
    EXPECT_EQ(stateOf(*effect).paramControllers[3], 13);
    EXPECT_EQ(stateOf(*effect).patternNotes[7], 67);
    EXPECT_EQ(stateOf(*effect).sliceNotes[31], 121);
    EXPECT_TRUE(stateOf(*effect).freeze);
    EXPECT_EQ(stateOf(*effect).patternSamples, kSamples);
    EXPECT_EQ(effect->engine().playedSample(0, 3), 0.1f * 4.0f);
    EXPECT_EQ(effect->engine().playedSample(1, 0), -0.1f);
    // Our own settings are not in this chunk: they keep their values.
    EXPECT_EQ(stateOf(*effect).resolutionIndex, 3);
    EXPECT_EQ(stateOf(*effect).currentPattern, 0);
}

// --- Damaged or hostile chunks ---

struct Snapshot {
    explicit Snapshot(SlicerPlugin& effect)
        : bank(saveChunk(effect)),
          leftHead(stateOf(effect).playBuffers.writable(0)[0]),
          curProgram(stateOf(effect).currentProgram),
          patternLength(stateOf(effect).patternLength) {
        std::memcpy(paramValues, stateOf(effect).paramValues, sizeof paramValues);
    }
    bool operator==(const Snapshot& other) const {
        return bank == other.bank && leftHead == other.leftHead && curProgram == other.curProgram &&
               patternLength == other.patternLength &&
               std::memcmp(paramValues, other.paramValues, sizeof paramValues) == 0;
    }
    Bytes bank;
    float leftHead;
    VstInt32 curProgram;
    std::int32_t patternLength;
    float paramValues[8];
};

class MalformedChunk : public ::testing::Test {
  protected:
    void SetUp() override {
        editEverything(*effect, 64, 5);
        stateOf(*effect).playBuffers.writable(0)[0] = 0.125f;
    }
    void expectRejected(Bytes bytes, bool preset = false) {
        const Snapshot before(*effect);
        EXPECT_EQ(loadChunk(*effect, bytes, preset), 0);
        EXPECT_TRUE(Snapshot(*effect) == before);
    }
    // A well-formed frozen bank of another instance, to be damaged by each test.
    Bytes validBank(std::int32_t samples) {
        auto source = freshEffect();
        editEverything(*source, samples, 9);
        return saveChunk(*source);
    }
    std::unique_ptr<SlicerPlugin> effect = freshEffect();
};

TEST_F(MalformedChunk, BankTooShortForItsFixedPartIsRejectedWhole) {
    Bytes bank = validBank(0);
    for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{960}, std::size_t{73959}}) {
        expectRejected(Bytes(bank.begin(), bank.begin() + static_cast<std::ptrdiff_t>(size)));
    }
    EXPECT_EQ(effect->setChunk(nullptr, 80000, false), 0);
    EXPECT_EQ(effect->setChunk(bank.data(), -5, false), 0);
}

TEST_F(MalformedChunk, PatternLengthThatDoesNotFitThePlayBuffersIsRejected) {
    Bytes bank = validBank(16);
    for (std::int32_t n : {-1, 661000, 700000, std::numeric_limits<std::int32_t>::max()}) {
        putI32(bank, 73828, n);
        expectRejected(bank);
    }
}

TEST_F(MalformedChunk, FrozenAudioReachingPastTheChunkIsRejected) {
    Bytes bank = validBank(100);
    bank.resize(73960 + 8 * 100 - 1);
    expectRejected(bank);
    Bytes claimsMore = validBank(100);
    putI32(claimsMore, 73828, 3000);  // 24000 bytes of audio; the chunk holds 800 + 1004 + 20812
    expectRejected(claimsMore);
}

TEST_F(MalformedChunk, ShortPresetIsRejected) {
    expectRejected(Bytes(59, 0), true);
    expectRejected(Bytes(0), true);
    EXPECT_EQ(effect->setChunk(nullptr, 60, true), 0);
}

TEST_F(MalformedChunk, UnfrozenBankWithoutAudioBytesIsStillWhole) {
    Bytes bank = validBank(100);
    bank[73824] = 0;
    bank.resize(73960);
    EXPECT_EQ(loadChunk(*effect, bank), 73964);
    EXPECT_FALSE(stateOf(*effect).freeze);
    EXPECT_EQ(stateOf(*effect).patternSamples, 100);
}

TEST(StateChunkLoad, ValuesFromAFileAreMadeSafe) {
    auto source = freshEffect();
    Bytes bank = saveChunk(*source);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    putF32(bank, stepAt(0, 5, 3), 1.5f);
    putF32(bank, stepAt(1, 4, 7), -0.25f);
    putF32(bank, stepAt(2, 0, 2), nan);
    putF32(bank, stepAt(3, 1, 9), -std::numeric_limits<float>::infinity());
    putI32(bank, 32, 0);            // program 0 pattern length
    putI32(bank, 60 + 32, 99);      // program 1
    putF32(bank, 120 + 8, nan);     // program 2, parameter 2
    putI32(bank, 73760, 200);       // controller of parameter 0
    putI32(bank, 73792 + 4, -5);    // note of pattern 1
    putI32(bank, 73832 + 8, 128);   // note of slice 2
    putI32(bank, 73832 + 12, 127);  // note of slice 3 stays
    std::memcpy(&bank[60 + 36], "Tab\tand\abell", 13);
    std::fill_n(&bank[120 + 36], 24, 'n');  // no terminator

    auto effect = freshEffect();
    stateOf(*effect).steps[2][0][2] = 0.6f;
    stateOf(*effect).programs[2].params[2] = 0.4f;
    ASSERT_EQ(loadChunk(*effect, bank), 73964);
    EXPECT_EQ(stateOf(*effect).steps[0][5][3], 1.0f);
    EXPECT_EQ(stateOf(*effect).steps[1][4][7], 0.0f);
    EXPECT_EQ(stateOf(*effect).steps[2][0][2], 0.6f);  // no number: the slot keeps its value
    EXPECT_EQ(stateOf(*effect).steps[3][1][9], 0.5f);
    EXPECT_EQ(stateOf(*effect).programs[0].patternLength, 2);
    EXPECT_EQ(stateOf(*effect).programs[1].patternLength, 32);
    EXPECT_EQ(stateOf(*effect).programs[2].params[2], 0.4f);
    EXPECT_EQ(stateOf(*effect).paramControllers[0], 0);
    EXPECT_STREQ(stateOf(*effect).programs[1].name, "Tab?and?bell");
    EXPECT_EQ(stateOf(*effect).programs[2].name, std::string(23, 'n'));
    EXPECT_EQ(stateOf(*effect).patternNotes[1], 0);
    EXPECT_EQ(stateOf(*effect).sliceNotes[2], 0);
    EXPECT_EQ(stateOf(*effect).sliceNotes[3], 127);

    Bytes preset(60, 0);
    putF32(preset, 0, nan);
    putI32(preset, 32, -3);
    effect->setProgram(0);
    effect->setParameter(0, 0.5f);
    ASSERT_EQ(loadChunk(*effect, preset, true), 60);
    EXPECT_EQ(effect->getParameter(0), 0.5f);
    EXPECT_EQ(stateOf(*effect).patternLength, 2);
}

TEST(StateChunkLoad, FrozenAudioFromAFileIsMadeSafe) {
    constexpr std::int32_t kSamples = 4;
    auto source = freshEffect();
    stateOf(*source).freeze = true;
    stateOf(*source).patternSamples = kSamples;
    Bytes bank = saveChunk(*source);
    putF32(bank, 73960, std::numeric_limits<float>::quiet_NaN());
    putF32(bank, 73960 + 4, std::numeric_limits<float>::infinity());
    putF32(bank, 73960 + 8, 3e38f);
    putF32(bank, 73960 + 12, -0.25f);
    putF32(bank, 73960 + 16, -3e38f);

    auto effect = freshEffect();
    ASSERT_EQ(loadChunk(*effect, bank), 73964);
    EXPECT_EQ(effect->engine().playedSample(0, 0), 0.0f);
    EXPECT_EQ(effect->engine().playedSample(0, 1), 0.0f);
    EXPECT_EQ(effect->engine().playedSample(0, 2), 1e6f);
    EXPECT_EQ(effect->engine().playedSample(0, 3), -0.25f);
    EXPECT_EQ(effect->engine().playedSample(1, 0), -1e6f);
}

// --- Chance, Repeat and the seed after today's chunk ---

// Today's part of a chunk saved now is what a build without the group reads
// (it never looks past the trailer); the group loads only whole, and a chunk
// without it, or with it cut short or of another size, loads at the defaults.
TEST(StateChunkVariation, TheGroupLoadsWholeOrNotAtAllAndTodaysPartIsUnchanged) {
    auto original = freshEffect();
    editEverything(*original, 300, 5);
    const Bytes saved = saveChunk(*original);
    ASSERT_EQ(saved.size(), kSavedBankBytes + 8 * 300);
    const std::size_t group = kFixedBankBytes + 8 * 300;
    EXPECT_EQ(std::memcmp(&saved[group], "TVX3", 4), 0);
    EXPECT_EQ(getI32(saved, group + 4), static_cast<std::int32_t>(kVariationBytes));
    EXPECT_EQ(static_cast<std::uint32_t>(getI32(saved, group + 8)), stateOf(*original).variationSeed.load());
    EXPECT_EQ(getF32(saved, group + 12 + 4 * (3 * 1300 + 650 + 649)), stateOf(*original).steps[3][8][649]);

    const auto loadsAtDefaults = [&](Bytes bank, const char* what) {
        SCOPED_TRACE(what);
        auto effect = freshEffect();
        editEverything(*effect, 10, 9);
        ASSERT_EQ(loadChunk(*effect, bank), 73964);
        for (int b = 0; b < 4; ++b) {
            for (int slot = 0; slot < 650; ++slot) {
                ASSERT_EQ(stateOf(*effect).steps[b][SlicerEngine::kLaneChance][slot], 1.0f);
                ASSERT_EQ(stateOf(*effect).steps[b][SlicerEngine::kLaneRepeat][slot], 0.0f);
            }
        }
        EXPECT_EQ(stateOf(*effect).variationSeed, 0u);
        EXPECT_EQ(std::memcmp(stateOf(*effect).steps[1], stateOf(*original).steps[1], 7 * 650 * 4), 0);
        EXPECT_EQ(stateOf(*effect).patternSamples, 300);
    };
    loadsAtDefaults(Bytes(saved.begin(), saved.begin() + static_cast<std::ptrdiff_t>(group)),
                    "today's chunk");
    loadsAtDefaults(Bytes(saved.begin(), saved.end() - 1), "cut short");
    Bytes bigger = saved;
    putI32(bigger, group + 4, static_cast<std::int32_t>(kVariationBytes + 4));
    bigger.resize(bigger.size() + 4);
    loadsAtDefaults(bigger, "declared larger");

    Bytes odd = saved;
    putF32(odd, group + 12, 7.0f);                                             // bank 0 Chance slot 0
    putF32(odd, group + 12 + 4 * 651, -1.0f);                                  // bank 0 Repeat slot 1
    putF32(odd, group + 12 + 4 * 2, std::numeric_limits<float>::quiet_NaN());  // bank 0 Chance slot 2
    auto effect = freshEffect();
    ASSERT_EQ(loadChunk(*effect, odd), 73964);
    EXPECT_EQ(stateOf(*effect).steps[0][SlicerEngine::kLaneChance][0], 1.0f);
    EXPECT_EQ(stateOf(*effect).steps[0][SlicerEngine::kLaneRepeat][1], 0.0f);
    EXPECT_EQ(stateOf(*effect).steps[0][SlicerEngine::kLaneChance][2], 1.0f);
    stateOf(*effect).steps[0][SlicerEngine::kLaneChance][0] = stateOf(*original).steps[0][7][0].load();
    stateOf(*effect).steps[0][SlicerEngine::kLaneRepeat][1] = stateOf(*original).steps[0][8][1].load();
    stateOf(*effect).steps[0][SlicerEngine::kLaneChance][2] = stateOf(*original).steps[0][7][2].load();
    expectSameStoredState(*original, *effect);
}

// --- Settings carried in the trailer ---

TEST(StateChunkSettings, ResolutionShuffleBankPatternAndModeSurviveARoundTrip) {
    auto source = freshEffect();
    stateOf(*source).resolutionIndex = 5;
    source->engine().setShuffle(0.3f);
    source->engine().selectBank(2);
    source->engine().selectPattern(6);
    stateOf(*source).noteToSliceMode = true;
    stateOf(*source).patternSamples = 10;
    Bytes bank = saveChunk(*source);
    EXPECT_EQ(std::memcmp(&bank[73960 + 80], "TVX1", 4), 0);

    auto target = freshEffect();
    ASSERT_EQ(loadChunk(*target, bank), 73964);
    EXPECT_EQ(stateOf(*target).resolutionIndex, 5);
    EXPECT_EQ(stateOf(*target).shuffle, 0.3f);
    EXPECT_EQ(stateOf(*target).currentBank, 2);
    EXPECT_EQ(stateOf(*target).currentPattern, 6);
    EXPECT_EQ(stateOf(*target).patternOffset, 192);
    EXPECT_TRUE(stateOf(*target).noteToSliceMode);
}

class SettingsNotApplied : public ::testing::Test {
  protected:
    void SetUp() override {
        auto source = freshEffect();
        stateOf(*source).resolutionIndex = 0;
        source->engine().setShuffle(1.0f);
        source->engine().selectBank(3);
        source->engine().selectPattern(7);
        stateOf(*source).noteToSliceMode = true;
        stateOf(*source).programs[4].patternLength = 5;
        bank = saveChunk(*source);
    }
    void expectSettingsKept() {
        auto target = freshEffect();
        ASSERT_EQ(loadChunk(*target, bank), 73964);
        EXPECT_EQ(stateOf(*target).programs[4].patternLength, 5);  // the rest of the chunk still loads
        EXPECT_EQ(stateOf(*target).resolutionIndex, 3);
        EXPECT_EQ(stateOf(*target).shuffle, 0.0f);
        EXPECT_EQ(stateOf(*target).currentBank, 0);
        EXPECT_EQ(stateOf(*target).currentPattern, 0);
        EXPECT_EQ(stateOf(*target).patternOffset, 0);
        EXPECT_FALSE(stateOf(*target).noteToSliceMode);
    }
    Bytes bank;
};

TEST_F(SettingsNotApplied, OlderChunkWithoutTheTag) {
    std::fill(bank.begin() + 73960, bank.end(), 0);
    expectSettingsKept();
}

TEST_F(SettingsNotApplied, ChunkTooShortToHoldThem) {
    bank.resize(73960 + 23);
    expectSettingsKept();
}

TEST(StateChunkSettings, ProgramAndPatternLengthOutOfRangeAreIgnored) {
    auto source = freshEffect();
    stateOf(*source).programs[2].patternLength = 6;
    stateOf(*source).currentProgram = 2;
    source->engine().setPatternLength(1.0f);
    const Bytes good = saveChunk(*source);
    const struct {
        std::size_t at;
        std::int32_t value;
    } damage[] = {
        {28, 16}, {28, -1}, {32, 1}, {32, 33}, {36, 0x7FC00000 /* NaN */}, {36, 0x3FC00000 /* 1.5 */}};
    for (const auto& d : damage) {
        Bytes bank = good;
        putI32(bank, 73960 + d.at, d.value);
        auto target = freshEffect();
        target->setProgram(5);
        ASSERT_EQ(loadChunk(*target, bank), 73964);
        EXPECT_EQ(stateOf(*target).currentProgram, 5) << d.at;
        EXPECT_EQ(stateOf(*target).patternLength, 16) << d.at;  // program 5's stored length
    }
}

TEST_F(SettingsNotApplied, AnyValueOutOfRange) {
    const struct {
        std::size_t at;
        std::int32_t value;
    } damage[] = {{4, 7}, {4, -1}, {12, 4}, {16, 8}, {16, -1}, {20, 2}};
    const Bytes good = bank;
    for (const auto& d : damage) {
        bank = good;
        putI32(bank, 73960 + d.at, d.value);
        expectSettingsKept();
    }
    for (float shuffle : {1.5f, -0.1f, std::numeric_limits<float>::quiet_NaN()}) {
        bank = good;
        putF32(bank, 73960 + 8, shuffle);
        expectSettingsKept();
    }
}

}  // namespace
}  // namespace tramvek
