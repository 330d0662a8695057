#include "editor/waveform_view.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "editor_test_support.h"
#include "params/little_endian.h"

namespace tramvek::test {
namespace {

constexpr int32_t kOriginX = 10;
constexpr int32_t kOriginY = 245;
constexpr Color kWave{100, 100, 250};
constexpr Color kBackground{235, 235, 235};
constexpr Color kShaded{255, 211, 211};
constexpr Color kPlaying{98, 249, 84};

class WaveformViewTest : public EditorTest {
  protected:
    void SetUp() override {
        EditorTest::SetUp();
        view.reset(new WaveformView({10, 245, 460, 325}, *host, surface.placement));
    }
    void refreshAndDraw() {
        view->refreshWaveform();
        view->draw(canvas.context);
    }
    // A pixel of slice box k away from the waveform strokes' middle rows.
    Color boxPixel(int32_t k) const { return pixel(kOriginX + 2 + 14 * k, kOriginY + 70); }
    void fillBuffers(float value) {
        std::fill_n(stateOf(*engine).playBuffers.writable(0), SlicerEngine::kBufferCapacity, value);
        std::fill_n(stateOf(*engine).playBuffers.writable(1), SlicerEngine::kBufferCapacity, value);
    }
    void click(Point where) {
        Point at = where;
        view->trackMouse(canvas.context, at);
    }

    Placement surface{575, 90, {450, 80, kOriginX, kOriginY, nullptr}};
    ViewPtr<WaveformView> view;
};

TEST_F(WaveformViewTest, SilenceDrawsTwoPixelStrokesOnRows39And40) {
    stateOf(*engine).nextStepIndex = -1;  // nothing shaded
    stateOf(*engine).scheduledSlot = -1;
    refreshAndDraw();
    for (int32_t x = 1; x <= 448; ++x) {
        ASSERT_EQ(pixel(kOriginX + x, kOriginY + 39), kWave) << x;
        ASSERT_EQ(pixel(kOriginX + x, kOriginY + 40), kWave) << x;
        ASSERT_NE(pixel(kOriginX + x, kOriginY + 38), kWave) << x;
        ASSERT_NE(pixel(kOriginX + x, kOriginY + 41), kWave) << x;
    }
    EXPECT_NE(pixel(kOriginX + 449, kOriginY + 39), kWave);
    EXPECT_EQ(boxPixel(5), kBackground);
    EXPECT_EQ(pixel(kOriginX + 14, kOriginY + 70), (Color{150, 151, 151}));  // grid line
}

TEST_F(WaveformViewTest, FullScaleSamplesFillTheWholeHeightEitherWay) {
    for (float level : {1.0f, -1.0f}) {
        fillBuffers(level);
        refreshAndDraw();
        EXPECT_EQ(view->column(0), level > 0 ? 102 : -102);
        EXPECT_EQ(view->column(450), level > 0 ? 102 : -102);
        for (int32_t y = 0; y < 80; ++y) {
            ASSERT_EQ(pixel(kOriginX + 200, kOriginY + y), kWave) << level << " row " << y;
        }
        EXPECT_NE(pixel(kOriginX + 200, kOriginY + 80), kWave);
    }
}

TEST_F(WaveformViewTest, NegativeColumnsDrawHalfTheirValue) {
    stateOf(*engine).recordCycleSamples = 4500;  // stride 10
    stateOf(*engine).playBuffers.writable(0)[30] = -10.5f / 102.0f;
    stateOf(*engine).playBuffers.writable(1)[30] = -10.5f / 102.0f;
    stateOf(*engine).playBuffers.writable(0)[50] = -2.5f / 102.0f;
    stateOf(*engine).playBuffers.writable(1)[50] = -2.5f / 102.0f;
    refreshAndDraw();
    ASSERT_EQ(view->column(3), -10);  // gain x sample truncated toward zero
    // half = -5 + 1 = -4: from row 44 up to row 36, the end excluded: 8 pixels.
    for (int32_t y = 37; y <= 44; ++y) {
        EXPECT_EQ(pixel(kOriginX + 4, kOriginY + y), kWave) << y;
    }
    EXPECT_NE(pixel(kOriginX + 4, kOriginY + 36), kWave);
    EXPECT_NE(pixel(kOriginX + 4, kOriginY + 45), kWave);
    ASSERT_EQ(view->column(5), -2);
    for (int32_t y = 30; y <= 50; ++y) {
        EXPECT_NE(pixel(kOriginX + 6, kOriginY + y), kWave) << y;
    }
}

TEST_F(WaveformViewTest, ShortCycleSamplesTheFirstSecondWithStride98) {
    stateOf(*engine).recordCycleSamples = 5;
    stateOf(*engine).playBuffers.writable(0)[98 * 3] = 1.0f;
    stateOf(*engine).playBuffers.writable(1)[98 * 3] = 1.0f;
    view->refreshWaveform();
    EXPECT_EQ(view->column(3), 102);
    EXPECT_EQ(view->column(2), 0);
    EXPECT_EQ(view->column(4), 0);
}

TEST_F(WaveformViewTest, ReadsStayInsideTheBuffersWhateverTheEngineHolds) {
    stateOf(*engine).recordCycleSamples = std::numeric_limits<int32_t>::max();
    stateOf(*engine).playBuffers.writable(0)[SlicerEngine::kBufferCapacity - 1] =
        std::numeric_limits<float>::quiet_NaN();
    stateOf(*engine).playBuffers.writable(1)[0] = std::numeric_limits<float>::infinity();
    refreshAndDraw();  // AddressSanitizer reports any read past the buffers
    EXPECT_GT(view->column(0), 102);
}

TEST_F(WaveformViewTest, ShadingFollowsTheStepsAndFreeze) {
    stateOf(*engine).nextStepIndex = 5;
    stateOf(*engine).scheduledSlot = 3;
    refreshAndDraw();
    EXPECT_EQ(boxPixel(0), kShaded);
    EXPECT_EQ(boxPixel(5), kShaded);
    EXPECT_EQ(boxPixel(3), kPlaying);
    EXPECT_EQ(boxPixel(6), kBackground);

    stateOf(*engine).freeze = true;
    stateOf(*engine).scheduledSlot = 20;
    refreshAndDraw();
    EXPECT_EQ(boxPixel(2), kBackground);
    EXPECT_EQ(boxPixel(20), kPlaying);
}

TEST_F(WaveformViewTest, NoteLearnShowsNotesAndTheTargetSlice) {
    stateOf(*engine).nextStepIndex = 10;
    engine->engine().toggleNoteSliceLearn();
    engine->engine().setSliceLearnTarget(7);
    refreshAndDraw();
    EXPECT_EQ(boxPixel(7), (Color{240, 120, 150}));
    EXPECT_EQ(boxPixel(2), (Color{235, 215, 215}));
    // Each slice's note number is written in dark ink in its upper part.
    for (int32_t k : {0, 31}) {
        Rect area{kOriginX + 1 + 14 * k, kOriginY + 1, kOriginX + 13 + 14 * k, kOriginY + 29};
        bool ink = false;
        for (int32_t y = area.top; y < area.bottom; ++y) {
            for (int32_t x = area.left; x < area.right; ++x) {
                const Color c = pixel(x, y);
                ink = ink || (c.red < 100 && c.green < 100 && c.blue < 100);
            }
        }
        EXPECT_TRUE(ink) << k;
    }
}

TEST_F(WaveformViewTest, ClicksPickSlicesOnlyInLearnModeAndNotOnTheGap) {
    click({11 + 14 * 4, 300});
    EXPECT_EQ(stateOf(*engine).sliceLearnTarget, 0);
    engine->engine().toggleNoteSliceLearn();
    click({11 + 14 * 4, 300});
    EXPECT_EQ(stateOf(*engine).sliceLearnTarget, 4);
    click({23 + 14 * 9, 246});
    EXPECT_EQ(stateOf(*engine).sliceLearnTarget, 9);
    click({24 + 14 * 12, 300});  // the gap between slices 12 and 13
    EXPECT_EQ(stateOf(*engine).sliceLearnTarget, 9);
}

}  // namespace
}  // namespace tramvek::test

namespace tramvek::test {
namespace {

std::string writeFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const std::string path = ::testing::TempDir() + "/" + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    return path;
}

// A mono 32-bit float WAV at 44.1 kHz holding `samples`.
std::vector<std::uint8_t> floatWav(const std::vector<float>& samples) {
    std::vector<std::uint8_t> out(44);
    std::memcpy(out.data(), "RIFF", 4);
    std::memcpy(out.data() + 8, "WAVEfmt ", 8);
    writeLeU32(out.data(), 16, 16);
    writeLeU32(out.data(), 20, 3 | 1 << 16);  // float, one channel
    writeLeU32(out.data(), 24, 44100);
    writeLeU32(out.data(), 28, 44100 * 4);
    writeLeU32(out.data(), 32, 4 | 32 << 16);
    std::memcpy(out.data() + 36, "data", 4);
    writeLeU32(out.data(), 40, static_cast<std::uint32_t>(4 * samples.size()));
    for (const float sample : samples) {
        out.resize(out.size() + 4);
        writeLeF32(out.data(), out.size() - 4, sample);
    }
    writeLeU32(out.data(), 4, static_cast<std::uint32_t>(out.size() - 8));
    return out;
}

// Drops that cannot freeze their file change nothing and say why in one line
// over the waveform, until the next click; a WAV file becomes the pattern.
TEST_F(WaveformViewTest, DroppedFilesFreezeOrLeaveOneLineUntilTheNextClick) {
    constexpr Color kMessage{255, 250, 205};
    const std::vector<std::uint8_t> wav = floatWav({0.5f, -0.25f, 0.125f});
    const std::string good = writeFile("three samples.wav", wav);
    const char* goodItem = good.c_str();
    refreshAndDraw();
    EXPECT_TRUE(view->acceptDrop(&goodItem, 1, 0, {200, 290}));
    EXPECT_EQ(view->dropMessage(), "Start the host's playback once before dropping three samples.wav");
    stateOf(*engine).patternSamples = 1000;
    stateOf(*engine).hostSampleRate = 44100;

    const std::string text = writeFile("notes.txt", {'h', 'e', 'l', 'l', 'o'});
    const std::string cut = writeFile("cut.wav", {wav.begin(), wav.end() - 2});
    const std::string missing = ::testing::TempDir() + "/missing.wav";
    const struct {
        std::string path;
        std::string says;
    } refused[] = {{text, "Not an audio file: notes.txt"},
                   {cut, "Damaged or cut-short audio file: cut.wav"},
                   {missing, "Cannot read missing.wav"},
                   {::testing::TempDir(), "Cannot read "}};
    for (const auto& drop : refused) {
        const char* item = drop.path.c_str();
        EXPECT_TRUE(view->acceptDrop(&item, 1, 0, {200, 290}));
        EXPECT_EQ(view->dropMessage().substr(0, drop.says.size()), drop.says);
        EXPECT_EQ(view->dropMessage().find('\n'), std::string::npos);
        EXPECT_FALSE(engine->engine().snapshot().frozen) << drop.path;
        EXPECT_EQ(engine->engine().playedSample(0, 0), 0.0f) << drop.path;
        view->draw(canvas.context);
        EXPECT_EQ(pixel(kOriginX + 300, kOriginY + 8), kMessage) << drop.path;
    }
    click({kOriginX + 300, kOriginY + 8});
    EXPECT_EQ(view->dropMessage(), "");
    view->draw(canvas.context);
    EXPECT_NE(pixel(kOriginX + 300, kOriginY + 8), kMessage);

    const char* textItem = "file:///not/a/file/list";
    EXPECT_FALSE(view->acceptDrop(&textItem, 24, 1, {200, 290}));  // text is not taken
    EXPECT_TRUE(view->acceptDrop(&goodItem, 1, 0, {200, 290}));
    EXPECT_EQ(view->dropMessage(), "");
    EXPECT_TRUE(engine->engine().snapshot().frozen);
    EXPECT_EQ(engine->engine().playedSample(0, 0), 0.5f);
    EXPECT_EQ(engine->engine().playedSample(1, 2), 0.125f);
    EXPECT_EQ(engine->engine().playedSample(0, 3), 0.0f);  // the rest of the pattern is silent
}

}  // namespace
}  // namespace tramvek::test
