// Step sheets through tramvek-host into our plug-in: every output step plays
// the input step its line names, forwards or backwards, with the Chance and
// Repeat its line gives, and a sheet that does not parse stops the render
// before anything is written.
#include <fstream>
#include <random>

#include "scratch_test.h"

#ifdef TRAMVEK_PLUGIN_PATH

namespace tramvek::e2e {
namespace {

// 48 kHz at 120 BPM: a 1/16 step is 6000 samples.
constexpr std::size_t kStep = 6000;
constexpr std::size_t kSheetSteps = 16;
constexpr std::size_t kPatterns = 4;
constexpr float kRampPerSample = 0.004f / kStep;

// Every input step has a level of its own and rises within the step, so an
// output sample tells which step it came from and in which direction.
float inputSample(std::size_t frame) {
    return 0.05f + 0.01f * static_cast<float>(frame / kStep) +
           kRampPerSample * static_cast<float>(frame % kStep);
}

StereoAudio rampedSteps() {
    StereoAudio audio;
    audio.sampleRate = 48000.0;
    for (std::size_t frame = 0; frame < kPatterns * kSheetSteps * kStep; ++frame) {
        audio.left.push_back(inputSample(frame));
        audio.right.push_back(-inputSample(frame));
    }
    return audio;
}

struct Line {
    std::size_t from;  // 1-based
    bool reverse;
};

void writeSheet(const std::string& path, const std::vector<Line>& lines) {
    std::ofstream sheet(path);
    sheet << "# FROM fwd|rev PITCH GAIN LENGTH\n";
    for (const Line& line : lines) {
        sheet << line.from << (line.reverse ? " rev" : " fwd") << " 0 100 50\n";
    }
}

using StepSheet = ScratchTest;

TEST_F(StepSheet, EachOutputStepPlaysTheInputStepItsLineNames) {
    std::mt19937 random(20261209);
    std::vector<Line> lines;
    for (std::size_t step = 0; step < kSheetSteps; ++step) {
        lines.push_back({random() % kSheetSteps + 1, random() % 2 == 1});
    }
    writeSheet(path("random.steps"), lines);
    writeWav(path("in.wav"), rampedSteps());
    HostRun run = host({"render", TRAMVEK_PLUGIN_PATH, "-i", path("in.wav"), "-o", path("out.wav"), "--steps",
                        path("random.steps")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    StereoAudio out = readWav(path("out.wav"));
    ASSERT_EQ(out.frames(), kPatterns * kSheetSteps * kStep);
    // Pattern p plays what pattern p - 1 recorded; the checks lie inside the step's hold.
    for (std::size_t step = kSheetSteps; step < kPatterns * kSheetSteps; ++step) {
        const Line& line = lines[step % kSheetSteps];
        const std::size_t source = (step / kSheetSteps - 1) * kSheetSteps + line.from - 1;
        for (std::size_t offset : {300u, 1200u, 2400u}) {
            const std::size_t sourceOffset = line.reverse ? kStep - offset : offset;
            const float expected = inputSample(source * kStep + sourceOffset);
            const std::size_t at = step * kStep + offset;
            EXPECT_NEAR(out.left[at], expected, 1e-4f) << "step " << step << " offset " << offset;
            EXPECT_NEAR(out.right[at], -expected, 1e-4f) << "step " << step << " offset " << offset;
        }
    }
}

TEST_F(StepSheet, AMalformedLineStopsTheRenderNamingTheLine) {
    std::ofstream(path("bad.steps")) << "1 fwd 0 100 50\n# a comment\n2 sideways 0 100 50\n3 fwd 0 100 50\n";
    HostRun run = host({"render", TRAMVEK_PLUGIN_PATH, "-o", path("out.wav"), "--steps", path("bad.steps")});
    EXPECT_TRUE(failedWithOneLine(run, "step sheet line 3"));
    EXPECT_FALSE(exists("out.wav"));
}

TEST_F(StepSheet, ChanceAndRepeatColumnsReachTheBankAndShortLinesKeepTheDefaults) {
    std::ofstream(path("varied.steps")) << "1 fwd 0 100 50\n2 fwd 0 100 50 25\n3 rev 0 100 50 0 8\n";
    HostRun run = host({"state", TRAMVEK_PLUGIN_PATH, "--steps", path("varied.steps")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("chance %: 100 25 0"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("repeat: 1 1 8"), std::string::npos) << run.out;

    std::ofstream(path("nine.steps")) << "1 fwd 0 100 50 100 1\n2 fwd 0 100 50 100 9\n";
    EXPECT_TRUE(failedWithOneLine(host({"state", TRAMVEK_PLUGIN_PATH, "--steps", path("nine.steps")}),
                                  "step sheet line 2"));
}

}  // namespace
}  // namespace tramvek::e2e

#endif
