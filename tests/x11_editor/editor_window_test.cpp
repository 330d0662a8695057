// The Linux plug-in's editor in a real X11 window, driven with xdotool.
#include <dirent.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "bitmap_resources.h"
#include "gui/raster/bmp_decoder.h"
#include "x11_editor/x11_test_host.h"

namespace tramvek::testing {
namespace {

// Where the editor shows the help picture, and its "?" label.
constexpr int kHelpLeft = 5;
constexpr int kHelpTop = 5;
constexpr int kHelpButtonX = 520;
constexpr int kHelpButtonY = 309;
// The attack knob, left part, in window coordinates (the panel sits at 7,7).
constexpr int kAttackKnobX = 22;
constexpr int kAttackKnobY = 22;

int openFileDescriptors() {
    int count = 0;
    if (DIR* fds = opendir("/proc/self/fd")) {
        while (readdir(fds) != nullptr) {
            ++count;
        }
        closedir(fds);
    }
    return count;
}

// Whether the window shows the help picture, pixel for pixel.
bool showsHelp(const PixelBuffer& window) {
    static const std::optional<PixelBuffer> help = decodeBmp(bitmapResourceBytes(133));
    if (!help || window.width() < kHelpLeft + help->width() || window.height() < kHelpTop + help->height()) {
        return false;
    }
    for (int y = 0; y < help->height(); ++y) {
        for (int x = 0; x < help->width(); ++x) {
            if (window.at(kHelpLeft + x, kHelpTop + y) != help->at(x, y)) {
                return false;
            }
        }
    }
    return true;
}

int distinctColours(const PixelBuffer& pixels, int limit) {
    std::vector<uint32_t> seen;
    for (int y = 0; y < pixels.height() && static_cast<int>(seen.size()) < limit; y += 3) {
        for (int x = 0; x < pixels.width(); x += 3) {
            if (std::find(seen.begin(), seen.end(), pixels.at(x, y)) == seen.end()) {
                seen.push_back(pixels.at(x, y));
            }
        }
    }
    return static_cast<int>(seen.size());
}

class EditorWindowTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(host.ready()) << "needs DISPLAY and the built plug-in"; }

    X11TestHost host;
};

TEST_F(EditorWindowTest, DeclaresTheEditorAndOpensAChildWindowThatShowsThePicture) {
    EXPECT_EQ(host.effect()->flags, 0x35);
    ERect* rect = nullptr;
    ASSERT_EQ(host.dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 590);
    EXPECT_EQ(rect->bottom - rect->top, 331);

    // Idle arrives from another thread than the one that opens, and before the open.
    host.startIdling();
    host.waitForIdles(3);
    host.openEditor();
    EXPECT_EQ(host.childCount(), 1);
    host.waitForIdles(10);
    const PixelBuffer shown = host.captureEditor();
    ASSERT_EQ(shown.width(), 590);
    ASSERT_EQ(shown.height(), 331);
    EXPECT_GT(distinctColours(shown, 20), 10) << "the window shows no drawn picture";
    EXPECT_FALSE(showsHelp(shown));
}

TEST_F(EditorWindowTest, ThePressOnTheQuestionMarkShowsTheHelpAndTheNextOneHidesIt) {
    host.startIdling();
    host.openEditor();
    host.waitForIdles(10);
    ASSERT_TRUE(X11TestHost::xdotool(X11TestHost::at(kHelpButtonX, kHelpButtonY) + "click 1"));
    host.waitForIdles(10);
    EXPECT_TRUE(showsHelp(host.captureEditor()));

    ASSERT_TRUE(X11TestHost::xdotool(X11TestHost::at(kHelpButtonX, kHelpButtonY) + "click 1"));
    host.waitForIdles(10);
    EXPECT_FALSE(showsHelp(host.captureEditor()));
}

// One quick click (no hold) on each kind of control, in an order in which each
// leaves a mark in the picture: the pixel that must change, and its colour after.
TEST_F(EditorWindowTest, AQuickClickActsOnEveryKindOfControl) {
    struct Click {
        const char* control;
        int x;
        int y;
        int pixelX;
        int pixelY;
        Color after;
    };
    const Click clicks[] = {
        {"step cell 12 of the Trigger lane, near its top", 173, 121, 173, 160, {64, 78, 192}},
        {"pattern button 3", 530, 146, 523, 142, {240, 100, 114}},
        {"bank button B", 508, 178, 501, 174, {250, 170, 214}},
        {"lane button Pitch", 203, 222, 193, 217, {152, 252, 247}},
        {"Freeze Buffer", 132, 91, 99, 86, {100, 100, 250}},
        {"the panel's MidiLearn", 207, 91, 9, 9, {152, 252, 247}},
        {"knob Reso, now the learn target", 368, 22, 325, 14, {252, 35, 27}},
        {"Midi-Learn Note->Slice", 407, 91, 359, 86, {250, 130, 130}},
        // Switches the panel's note learn off: the panel must show it.
        {"the sequencer's MidiLearn", 529, 125, 359, 86, {240, 240, 240}},
    };
    host.startIdling();
    host.openEditor();
    host.waitForIdles(5);
    for (const Click& click : clicks) {
        const Color before = host.captureEditor().color(click.pixelX, click.pixelY);
        ASSERT_NE(before, click.after) << click.control;
        ASSERT_TRUE(X11TestHost::xdotool(X11TestHost::at(click.x, click.y) + "click 1"));
        host.waitForIdles(6);
        EXPECT_EQ(host.captureEditor().color(click.pixelX, click.pixelY), click.after) << click.control;
    }
}

TEST_F(EditorWindowTest, EachWheelNotchOverAKnobMovesItByOnePercent) {
    host.effect()->setParameter(host.effect(), 0, 0.305f);
    host.startIdling();
    host.openEditor();
    host.waitForIdles(5);
    ASSERT_TRUE(X11TestHost::xdotool(X11TestHost::at(kAttackKnobX, kAttackKnobY) + "click 4 click 4"));
    host.waitForIdles(6);
    EXPECT_NEAR(host.effect()->getParameter(host.effect(), 0), 0.325f, 1e-6f);
    ASSERT_TRUE(X11TestHost::xdotool("click 5"));
    host.waitForIdles(6);
    EXPECT_NEAR(host.effect()->getParameter(host.effect(), 0), 0.315f, 1e-6f);
}

TEST_F(EditorWindowTest, DraggingAKnobChangesItsParameterByThePointersTravel) {
    host.effect()->setParameter(host.effect(), 0, 0.1f);
    FakeHost::clear();
    host.startIdling();
    host.openEditor();
    host.waitForIdles(10);
    // 75 pixels to the right span the whole range: 30 pixels add 0.4. The press
    // is read on the next idle, so each step waits long enough for a busy
    // machine to get there before the pointer moves on.
    ASSERT_TRUE(X11TestHost::xdotool(X11TestHost::at(kAttackKnobX, kAttackKnobY) + "mousedown 1 sleep 0.5 " +
                                     X11TestHost::at(kAttackKnobX + 15, kAttackKnobY) + "sleep 0.5 " +
                                     X11TestHost::at(kAttackKnobX + 30, kAttackKnobY) +
                                     "sleep 0.5 mouseup 1"));
    host.waitForIdles(10);
    EXPECT_NEAR(host.effect()->getParameter(host.effect(), 0), 0.5f, 0.0134f);

    // The host heard one gesture: begin, the moves, end, all on the attack knob.
    host.stopIdling();
    std::vector<VstInt32> edits;
    for (std::size_t i = 0; i < FakeHost::opcodes.size(); ++i) {
        const VstInt32 opcode = FakeHost::opcodes[i];
        if (opcode == audioMasterBeginEdit || opcode == audioMasterAutomate || opcode == audioMasterEndEdit) {
            EXPECT_EQ(FakeHost::indexes[i], 0);
            edits.push_back(opcode);
        }
    }
    ASSERT_GE(edits.size(), 3u);
    EXPECT_EQ(edits.front(), audioMasterBeginEdit);
    EXPECT_EQ(edits.back(), audioMasterEndEdit);
    EXPECT_TRUE(std::all_of(edits.begin() + 1, edits.end() - 1,
                            [](VstInt32 opcode) { return opcode == audioMasterAutomate; }));
}

TEST_F(EditorWindowTest, OpeningAndClosingTenTimesLeavesNoWindowAndNoConnection) {
    host.startIdling();
    const int descriptors = openFileDescriptors();
    for (int round = 0; round < 10; ++round) {
        host.openEditor();
        ASSERT_EQ(host.childCount(), 1) << "round " << round;
        host.waitForIdles(2);
        host.closeEditor();
        ASSERT_EQ(host.childCount(), 0) << "round " << round;
    }
    EXPECT_EQ(openFileDescriptors(), descriptors) << "a connection to the X server was left open";
    // Still works after all that.
    host.openEditor();
    host.waitForIdles(10);
    EXPECT_GT(distinctColours(host.captureEditor(), 20), 10);
}

TEST_F(EditorWindowTest, AParentDestroyedUnderTheOpenEditorTakesOnlyTheWindowWithIt) {
    host.startIdling();
    host.openEditor();
    host.waitForIdles(5);
    // Our child goes with the parent; the editor's later requests on it must
    // neither fail fatally (Xlib's default for a vanished window) nor hang.
    host.replaceParent();
    host.waitForIdles(10);
    host.closeEditor();
    host.openEditor();
    EXPECT_EQ(host.childCount(), 1);
    host.waitForIdles(10);
    EXPECT_GT(distinctColours(host.captureEditor(), 20), 10);
}

}  // namespace
}  // namespace tramvek::testing
