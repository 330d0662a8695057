// Real child windows under Wine (with an X display): the shared window class,
// paint, a capture of what the window shows, and presses made with xdotool.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <string>

#include "gui/bitmap.h"
#include "gui/frame.h"
#include "gui/param_display.h"
#include "gui/raster/bmp_decoder.h"
#include "gui/raster/raster_image.h"
#include "gui/win32/drop_target.h"
#include "gui/win32/window_class.h"
#include "win32_test_support.h"

namespace tramvek::test {
namespace {

constexpr Rect kEditorBounds{0, 0, 590, 331};
constexpr Point kParentOrigin{220, 150};

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!displayAvailable()) {
            GTEST_SKIP() << "no display: windows cannot be made here";
        }
    }

    bool classRegistered() const {
        WNDCLASSA info;
        return GetClassInfoA(WindowClass::module(), WindowClass::name().c_str(), &info) != FALSE;
    }

    static HWND handleOf(Frame& frame) { return static_cast<HWND>(frame.window()->nativeHandle()); }

    ParentWindow parent{kParentOrigin, 600, 340};
};

TEST_F(WindowTest, FramesShareOneClassRegisteredOnceAndUnregisteredAfterTheLast) {
    ASSERT_FALSE(classRegistered());
    auto* first = new Frame(kEditorBounds, parent.handle(), nullptr);
    ASSERT_NE(first->window(), nullptr);
    EXPECT_TRUE(classRegistered());
    auto* second = new Frame(kEditorBounds, parent.handle(), nullptr);
    ASSERT_NE(second->window(), nullptr) << "the second frame could not use the registered class";
    EXPECT_EQ(WindowClass::useCount(), 2);

    delete first;
    EXPECT_TRUE(classRegistered());
    EXPECT_TRUE(IsWindow(handleOf(*second)));
    delete second;
    EXPECT_FALSE(classRegistered());
    EXPECT_EQ(WindowClass::useCount(), 0);

    auto* again = new Frame(kEditorBounds, parent.handle(), nullptr);
    EXPECT_NE(again->window(), nullptr);
    EXPECT_TRUE(classRegistered());
    delete again;
    EXPECT_FALSE(classRegistered());
}

TEST_F(WindowTest, ChildWindowHasTheClassNameTitleStyleAndPlaceOfAnEditor) {
    auto* frame = new Frame(kEditorBounds, parent.handle(), nullptr);
    ASSERT_NE(frame->window(), nullptr);
    HWND window = handleOf(*frame);

    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    const std::string name = className;
    ASSERT_EQ(name.size(), 14U) << name;
    EXPECT_EQ(name.substr(0, 6), "Plugin");
    unsigned fromName = 0;
    std::sscanf(name.c_str() + 6, "%8x", &fromName);
    for (char digit : name.substr(6)) {
        EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(digit)) || (digit >= 'a' && digit <= 'f'))
            << name;
    }
    EXPECT_EQ(fromName, static_cast<unsigned>(reinterpret_cast<uintptr_t>(GetModuleHandleA(nullptr))));
    EXPECT_EQ(GetClassLongA(window, GCL_STYLE) & CS_GLOBALCLASS, static_cast<DWORD>(CS_GLOBALCLASS));

    char title[32] = {};
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(title, "Window");
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
    EXPECT_EQ(GetParent(window), parent.handle());
    RECT area{};
    GetWindowRect(window, &area);
    EXPECT_EQ(frame->window()->screenOrigin(), kParentOrigin);
    EXPECT_EQ(area.right - area.left, 590);
    EXPECT_EQ(area.bottom - area.top, 331);

    // The window's drop target is registered, so a second registration is refused.
    RecordingClient client;
    auto* another = new DropTarget(client, window);
    EXPECT_EQ(RegisterDragDrop(window, another), DRAGDROP_E_ALREADYREGISTERED);
    another->Release();
    delete frame;
}

TEST_F(WindowTest, FrameWithoutParentHasNoWindow) {
    auto* frame = new Frame(kEditorBounds, nullptr, nullptr);
    EXPECT_EQ(frame->window(), nullptr);
    EXPECT_EQ(WindowClass::useCount(), 0);
    frame->redrawView(nullptr);
    frame->idleUpdate();
    delete frame;
}

// The editor's "?" label, as it shows on the background.
ParamDisplay* helpLabel() {
    auto* label = new ParamDisplay({500, 302, 540, 317}, nullptr, 1);
    label->setFontId(2);
    label->setTextColor(colors::Red);
    label->setBackColor({250, 250, 250, 0});
    label->setFrameColor(colors::Black);
    label->setConversion([](float, char* text) { std::snprintf(text, 2, "?"); });
    return label;
}

TEST_F(WindowTest, PaintedWindowShowsTheBackgroundAndADisplayAsTheRasterRulesDrawThem) {
    auto* frame = new Frame(kEditorBounds, parent.handle(), nullptr);
    ASSERT_NE(frame->window(), nullptr);
    auto* background = new Bitmap(128);
    frame->setBackground(background);
    background->release();
    ParamDisplay* label = helpLabel();
    frame->addView(label);
    HWND window = handleOf(*frame);
    RedrawWindow(parent.handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    pumpMessages(150);
    EXPECT_FALSE(frame->firstDrawPending());

    HDC dc = GetDC(window);
    const PixelBuffer shown = capture(dc, 0, 0, 590, 331);
    ReleaseDC(window, dc);

    std::optional<PixelBuffer> expected = decodeBmp(resourceBitmapFile(128));
    ASSERT_TRUE(expected.has_value());
    {
        RasterSurface surface(*expected);
        DrawContext context(nullptr, &surface, nullptr);
        label->draw(context);  // the raster surface here draws no text
    }
    const Rect textArea{501, 303, 539, 316};
    EXPECT_EQ(differences(shown, *expected, {textArea}), "");

    int redInk = 0;
    for (int32_t y = textArea.top; y <= textArea.bottom; ++y) {
        for (int32_t x = textArea.left; x <= textArea.right; ++x) {
            const Color c = shown.color(x, y);
            redInk += (c.red > 200 && c.green < 120 && c.blue < 120) ? 1 : 0;
        }
    }
    EXPECT_GT(redInk, 5) << "no red \"?\" in the label";
    delete frame;
}

TEST_F(WindowTest, PendingPaintIsDispatchedOnRequest) {
    auto* frame = new Frame(kEditorBounds, parent.handle(), nullptr);
    ASSERT_NE(frame->window(), nullptr);
    auto* view = new PressRecorder({20, 20, 60, 60});
    frame->addView(view);
    pumpMessages(50);
    EXPECT_FALSE(platform().dispatchPendingPaint());
    const int drawsBefore = view->draws;
    InvalidateRect(handleOf(*frame), nullptr, FALSE);
    EXPECT_TRUE(platform().dispatchPendingPaint());
    EXPECT_EQ(view->draws, drawsBefore + 1);
    EXPECT_FALSE(platform().dispatchPendingPaint());
    delete frame;
}

TEST_F(WindowTest, HostDestroyingTheWindowClosesTheFrame) {
    auto* frame = new Frame(kEditorBounds, parent.handle(), nullptr);
    ASSERT_NE(frame->window(), nullptr);
    EXPECT_TRUE(frame->isOpen());
    DestroyWindow(parent.handle());
    parent.forget();
    EXPECT_FALSE(frame->isOpen());
    EXPECT_EQ(frame->parentWindow(), nullptr);
    frame->redrawView(nullptr);
    frame->idleUpdate();
    delete frame;
    EXPECT_EQ(WindowClass::useCount(), 0);
    EXPECT_FALSE(classRegistered());
}

// Starts xdotool (the X input tool) with `arguments`. Wine runs a Unix program
// without a process handle to wait on, so callers watch its effects instead.
bool startXdotool(const std::string& arguments) {
    std::string command = "xdotool " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA("Z:\\usr\\bin\\xdotool", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return false;
    }
    for (HANDLE handle : {process.hThread, process.hProcess}) {
        if (handle != nullptr) {
            CloseHandle(handle);
        }
    }
    return true;
}

// Presses with the real X pointer; the views see them as a user's presses.
class PressTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        if (GetFileAttributesA("Z:\\usr\\bin\\xdotool") == INVALID_FILE_ATTRIBUTES) {
            GTEST_SKIP() << "xdotool is not installed";
        }
        frame = new Frame(kEditorBounds, parent.handle(), nullptr);
        ASSERT_NE(frame->window(), nullptr);
        frame->addView(lower);
        frame->addView(upper);
        pumpMessages(100);
        origin = frame->window()->screenOrigin();
    }
    void TearDown() override { delete frame; }

    // Moves the pointer to `where` in the window, then runs `actions` (which end
    // with everything released); returns when a view has taken the press, or the
    // buttons went down and up again without one, and the keys have settled.
    void pressAt(Point where, const std::string& actions) {
        const size_t before = lower->presses.size() + upper->presses.size();
        ASSERT_TRUE(startXdotool("mousemove " + std::to_string(origin.x + where.x) + " " +
                                 std::to_string(origin.y + where.y) + " sleep 0.15 " + actions))
            << "xdotool did not start";
        bool wentDown = false;
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < 4000) {
            pumpMessages(5);
            const MouseButtons buttons = platform().pollMouseButtons();
            wentDown = wentDown || buttons != 0;
            const bool taken = lower->presses.size() + upper->presses.size() != before;
            if ((taken || wentDown) && buttons == 0) {
                break;
            }
        }
        pumpMessages(200);
    }

    Frame* frame = nullptr;
    PressRecorder* lower = new PressRecorder({10, 10, 200, 200});
    PressRecorder* upper = new PressRecorder({100, 100, 300, 250});
    Point origin;
};

TEST_F(PressTest, LeftPressGoesToTheViewAddedLastAndIsPolledUntilRelease) {
    pressAt({150, 150}, "mousedown 1 sleep 0.3 mouseup 1");
    ASSERT_EQ(upper->presses.size(), 1U);
    EXPECT_EQ(upper->presses[0], (Point{150, 150}));
    EXPECT_TRUE(lower->presses.empty());
    EXPECT_EQ(upper->buttonsAtPress & mouse::LeftButton, mouse::LeftButton);
    EXPECT_EQ(upper->polledAtPress, (Point{150, 150}));
    EXPECT_TRUE(upper->sawRelease);
}

TEST_F(PressTest, RightPressWithShiftAndMiddlePressAreDeliveredAndPolled) {
    pressAt({50, 60}, "keydown shift mousedown 3 sleep 0.3 mouseup 3 keyup shift");
    ASSERT_EQ(lower->presses.size(), 1U);
    EXPECT_EQ(lower->presses[0], (Point{50, 60}));
    EXPECT_EQ(lower->allButtonsSeen & (mouse::RightButton | mouse::ShiftKey),
              mouse::RightButton | mouse::ShiftKey);
    EXPECT_TRUE(lower->sawRelease);

    pressAt({250, 220}, "mousedown 2 sleep 0.3 mouseup 2");
    ASSERT_EQ(upper->presses.size(), 1U);
    EXPECT_EQ(upper->presses[0], (Point{250, 220}));
    EXPECT_EQ(upper->allButtonsSeen & mouse::MiddleButton, mouse::MiddleButton);
    EXPECT_EQ(lower->presses.size(), 1U);
}

// The message's buttons answer the first poll: a click is often over before
// the window procedure runs, and the key state then says nothing is down.
TEST_F(PressTest, AClickWithoutHoldIsStillAPressAndSwappedButtonsAreLogical) {
    pressAt({150, 150}, "click 1");
    ASSERT_EQ(upper->presses.size(), 1U);
    EXPECT_EQ(upper->buttonsAtPress & mouse::LeftButton, mouse::LeftButton);

    SwapMouseButton(TRUE);
    pressAt({50, 60}, "mousedown 1 sleep 0.3 mouseup 1");
    SwapMouseButton(FALSE);
    ASSERT_EQ(lower->presses.size(), 1U);
    EXPECT_EQ(lower->allButtonsSeen & (mouse::LeftButton | mouse::RightButton), mouse::RightButton);
}

TEST_F(PressTest, WheelNotchesReachTheViewUnderThePointer) {
    pressAt({150, 150}, "click 1");  // as a user's first click, which gives the window the focus
    ASSERT_TRUE(startXdotool("click 4 sleep 0.1 click 4 sleep 0.1 click 5"));
    pumpMessages(600);
    EXPECT_EQ(upper->wheelTurned, 1.0f);
    EXPECT_EQ(upper->wheelAt, (Point{150, 150}));
    EXPECT_EQ(lower->wheelTurned, 0.0f);
}

TEST_F(PressTest, PressOutsideEveryViewReachesNone) {
    pressAt({400, 300}, "mousedown 1 sleep 0.3 mouseup 1");
    EXPECT_TRUE(upper->presses.empty());
    EXPECT_TRUE(lower->presses.empty());
}

}  // namespace
}  // namespace tramvek::test
