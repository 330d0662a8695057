// tramvek-host on our own plug-in, through its exported entry: what the
// plug-in declares, and the sound it makes.
#include <cmath>
#include <cstring>

#include "formats/demo_loop.h"
#include "formats/file_io.h"
#include "formats/fx_file.h"
#include "scratch_test.h"

#ifdef TRAMVEK_PLUGIN_PATH

namespace tramvek::e2e {
namespace {

// 48 kHz at 120 BPM: a 1/16 step is 6000 samples and the default 16-step
// pattern 96000.
constexpr std::size_t kStep = 6000;
constexpr std::size_t kPatternSteps = 16;

float levelOfStep(std::size_t step) {
    return 0.05f + 0.01f * static_cast<float>(step % 40);
}

// The state command's song, where frozen buffers are made: 44.1 kHz at 120
// BPM, 1/16 steps of 5500 samples.
constexpr std::size_t kStateStep = 5500;

// Each step holds one level, left positive and right negative, so the output
// tells which step's recording is playing.
StereoAudio stepwiseInput(std::size_t steps, double rate = 48000.0, std::size_t step = kStep) {
    StereoAudio audio;
    audio.sampleRate = rate;
    for (std::size_t i = 0; i < steps * step; ++i) {
        audio.left.push_back(levelOfStep(i / step));
        audio.right.push_back(-levelOfStep(i / step));
    }
    return audio;
}

using OurPlugin = ScratchTest;

TEST_F(OurPlugin, InfoShowsTheDeclaredRecordTextsAndAnswers) {
    HostRun run = host({"info", TRAMVEK_PLUGIN_PATH});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    for (const char* expected : {"uniqueID:       0x51585456 'QXTV'",
                                 "version:        1",
                                 "numPrograms:    16",
                                 "numParams:      8",
                                 "numInputs:      2",
                                 "numOutputs:     2",
                                 "initialDelay:   0",
                                 "vendor:         Orvando @ Wobblefactorium",
                                 "product:        tramvek v1.0",
                                 "vendor version: 0",
                                 "VST version:    2200",
                                 "  receiveVstTimeInfo: 1",
                                 "  receiveVstEvents: 1",
                                 "  receiveVstMidiEvent: 1",
                                 "  sendVstEvents: -1",
                                 "  conformsToWindowRules: -1",
                                 "  0: name \"attack\"",
                                 "  7: name \"keepbuffer\"",
                                 "  0: \"Init 1\"",
                                 "  15: \"Init 16\""}) {
        EXPECT_NE(run.out.find(expected), std::string::npos) << expected << "\n" << run.out;
    }
    // Has VU, can replace, keeps program chunks; the editor flag comes with the editor.
    EXPECT_TRUE(run.out.find("flags:          0x00000034") != std::string::npos ||
                run.out.find("flags:          0x00000035") != std::string::npos)
        << run.out;
}

TEST_F(OurPlugin, DefaultPatternsReplayThePreviousPatternSlicedWithOddStepsSilent) {
    writeWav(path("steps.wav"), stepwiseInput(4 * kPatternSteps));
    HostRun run = host({"render", TRAMVEK_PLUGIN_PATH, "-i", path("steps.wav"), "-o", path("out.wav")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    StereoAudio out = readWav(path("out.wav"));
    ASSERT_EQ(out.frames(), 4 * kPatternSteps * kStep);
    for (std::size_t step = 2 * kPatternSteps; step < 4 * kPatternSteps; ++step) {
        std::size_t at = step * kStep + 2000;  // mid-hold of the step
        if (step % 2 == 0) {
            float recorded = levelOfStep(step - kPatternSteps);
            EXPECT_NEAR(out.left[at], 0.8f * recorded, 1e-4f) << "step " << step;
            EXPECT_NEAR(out.right[at], -0.8f * recorded, 1e-4f) << "step " << step;
        } else {
            EXPECT_EQ(out.left[at], 0.0f) << "step " << step;
            EXPECT_EQ(out.right[at], 0.0f) << "step " << step;
        }
    }
}

TEST_F(OurPlugin, DryWetZeroPassesTheDemoLoopThroughBitForBit) {
    HostRun run =
        host({"render", TRAMVEK_PLUGIN_PATH, "-o", path("dry.wav"), "--param", "5=0", "--block", "333,64"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    StereoAudio out = readWav(path("dry.wav"));
    StereoAudio demo = synthesizeDemoLoop(120.0, 44100.0);
    EXPECT_EQ(out.left, demo.left);
    EXPECT_EQ(out.right, demo.right);
}

TEST_F(OurPlugin, BankRoundTripsByteForByteAndReloadsIntoARender) {
    ASSERT_EQ(host({"state", TRAMVEK_PLUGIN_PATH, "--program", "3", "--param", "0=0.25", "--param", "6=0.75",
                    "--save-bank", path("a.fxb"), "--save-preset", path("a.fxp")})
                  .exitCode,
              0);
    FxBank bank = parseBankFile(fileBytes(path("a.fxb")));
    EXPECT_TRUE(bank.opaque);
    EXPECT_EQ(bank.pluginId, fourCharCode('Q', 'X', 'T', 'V'));
    EXPECT_EQ(bank.numPrograms, 16);
    EXPECT_EQ(bank.chunk.size(), 74964u + 20812u);  // nothing recorded yet: N = 0; then Chance and Repeat
    EXPECT_EQ(parsePresetFile(fileBytes(path("a.fxp"))).chunk.size(), 60u);

    HostRun again = host({"state", TRAMVEK_PLUGIN_PATH, "--bank", path("a.fxb"), "--program", "3",
                          "--save-bank", path("b.fxb")});
    ASSERT_EQ(again.exitCode, 0) << again.err;
    EXPECT_EQ(fileBytes(path("b.fxb")), fileBytes(path("a.fxb")));
    EXPECT_NE(again.out.find("0: attack = 0.25"), std::string::npos) << again.out;
    EXPECT_NE(again.out.find("chance %: 100 100 100"), std::string::npos) << again.out;

    // Chance and Repeat travel in the bank: bank 0, slot 1 at 50 % and 3 hits, seed 7.
    FxBank varied = bank;
    const std::size_t group = 74964;
    varied.chunk[group + 8] = 7;
    const auto putFloat = [&](std::size_t at, float value) { std::memcpy(&varied.chunk[at], &value, 4); };
    putFloat(group + 12 + 4 * 1, 0.5f);
    putFloat(group + 12 + 4 * (650 + 1), 2.0f / 7.0f);
    writeWholeFile(path("varied.fxb"), serializeBank(varied));
    HostRun shown = host({"state", TRAMVEK_PLUGIN_PATH, "--bank", path("varied.fxb")});
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    // Line by line: Windows hosts end lines with CR LF.
    EXPECT_NE(shown.out.find("variation seed 7"), std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("chance %: 100 50 100"), std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("repeat: 1 3 1"), std::string::npos) << shown.out;

    // Program 3 of the bank sounds as it was saved: rendered from the bank or
    // set by hand, the output is the same.
    ASSERT_EQ(host({"render", TRAMVEK_PLUGIN_PATH, "-o", path("bank.wav"), "--bank", path("a.fxb"),
                    "--program", "3"})
                  .exitCode,
              0);
    ASSERT_EQ(host({"render", TRAMVEK_PLUGIN_PATH, "-o", path("hand.wav"), "--program", "3", "--param",
                    "0=0.25", "--param", "6=0.75"})
                  .exitCode,
              0);
    EXPECT_EQ(fileBytes(path("bank.wav")), fileBytes(path("hand.wav")));
}

// A pattern frozen from a file plays as the same pattern played in does, and
// comes back out of the bank as the file that went in.
TEST_F(OurPlugin, FrozenAudioRoundTripsBitForBitAndPlaysAsIfPlayedIn) {
    const std::size_t pattern = kPatternSteps * kStateStep;
    StereoAudio twoPatterns = stepwiseInput(2 * kPatternSteps, 44100.0, kStateStep);
    writeWav(path("played.wav"), twoPatterns);
    twoPatterns.left.resize(pattern);
    twoPatterns.right.resize(pattern);
    writeWav(path("pattern.wav"), twoPatterns);
    writeWav(path("silence.wav"),
             StereoAudio{44100.0, std::vector<float>(pattern), std::vector<float>(pattern)});

    HostRun freeze = host({"state", TRAMVEK_PLUGIN_PATH, "--freeze-audio", path("pattern.wav"), "--save-bank",
                           path("frozen.fxb")});
    ASSERT_EQ(freeze.exitCode, 0) << freeze.err;
    ASSERT_EQ(host({"state", TRAMVEK_PLUGIN_PATH, "--bank", path("frozen.fxb"), "--export-frozen",
                    path("export.wav")})
                  .exitCode,
              0);
    EXPECT_EQ(fileBytes(path("export.wav")), fileBytes(path("pattern.wav")));
    ASSERT_EQ(host({"state", TRAMVEK_PLUGIN_PATH, "--freeze-audio", path("export.wav"), "--save-bank",
                    path("again.fxb")})
                  .exitCode,
              0);
    EXPECT_EQ(fileBytes(path("again.fxb")), fileBytes(path("frozen.fxb")));

    // A render plays the frozen pattern from the first step on, where the
    // pattern played in sounds one pattern later, and keeps it bit for bit.
    ASSERT_EQ(host({"render", TRAMVEK_PLUGIN_PATH, "-i", path("played.wav"), "-o", path("out_played.wav")})
                  .exitCode,
              0);
    ASSERT_EQ(host({"render", TRAMVEK_PLUGIN_PATH, "-i", path("silence.wav"), "-o", path("out_frozen.wav"),
                    "--bank", path("frozen.fxb"), "--save-bank", path("after.fxb")})
                  .exitCode,
              0);
    ASSERT_EQ(host({"state", TRAMVEK_PLUGIN_PATH, "--bank", path("after.fxb"), "--export-frozen",
                    path("after.wav")})
                  .exitCode,
              0);
    EXPECT_EQ(fileBytes(path("after.wav")), fileBytes(path("pattern.wav")));
    StereoAudio played = readWav(path("out_played.wav"));
    StereoAudio frozen = readWav(path("out_frozen.wav"));
    // Steps start on the host's grid (5512.5 samples); the hold of each is level.
    auto midHold = [](std::size_t step) { return step * 11025 / 2 + 2000; };
    for (std::size_t step = 0; step < kPatternSteps; ++step) {
        const float expected = step % 2 == 0 ? 0.8f * levelOfStep(step) : 0.0f;
        EXPECT_NEAR(frozen.left[midHold(step)], expected, 1e-4f) << "step " << step;
        EXPECT_EQ(frozen.left[midHold(step)], played.left[midHold(kPatternSteps + step)]) << "step " << step;
        EXPECT_EQ(frozen.right[midHold(step)], played.right[midHold(kPatternSteps + step)])
            << "step " << step;
    }
}

TEST_F(OurPlugin, AudioThatCannotBeFrozenOrExportedFailsWithOneLineAndWritesNothing) {
    writeWav(path("pattern.wav"), stepwiseInput(2, 44100.0, kStateStep));
    std::vector<std::uint8_t> cut = fileBytes(path("pattern.wav"));
    cut.resize(cut.size() - 5);
    writeWholeFile(path("cut.wav"), cut);
    ASSERT_EQ(host({"state", TRAMVEK_PLUGIN_PATH, "--save-bank", path("plain.fxb")}).exitCode, 0);
    for (const char* input : {"cut.wav", "plain.fxb", "missing.wav"}) {
        HostRun run = host(
            {"state", TRAMVEK_PLUGIN_PATH, "--freeze-audio", path(input), "--save-bank", path("out.fxb")});
        EXPECT_TRUE(failedWithOneLine(run, input)) << input;
    }
    EXPECT_TRUE(failedWithOneLine(host({"state", TRAMVEK_PLUGIN_PATH, "--bank", path("plain.fxb"),
                                        "--export-frozen", path("out.wav"), "--save-bank", path("out.fxb")}),
                                  "not frozen"));
    EXPECT_FALSE(exists("out.fxb"));
    EXPECT_FALSE(exists("out.wav"));
}

}  // namespace
}  // namespace tramvek::e2e

#endif
