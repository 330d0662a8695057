#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "bitmap_resources.h"
#include "gui/draw_context.h"
#include "gui/frame.h"
#include "gui/frame_editor.h"
#include "gui/raster/pixel_buffer.h"
#include "gui/raster/raster_surface.h"
#include "gui/view.h"
#include "support/fake_clock.h"
#include "support/headless_platform.h"
#include "support/headless_window.h"

namespace tramvek::test {

// Every test starts from fresh input and a fake clock on the shared back end.
class RasterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        headlessPlatform().scriptedInput().clear();
        headlessPlatform().setPointerSource(nullptr);
        headlessPlatform().setClock(&clock);
        headlessPlatform().setWindowsAvailable(true);
    }
    void TearDown() override {
        headlessPlatform().setClock(nullptr);
        headlessPlatform().setResourceSource(&bitmapResourceBytes);
    }

    ScriptedInput& input() { return headlessPlatform().scriptedInput(); }

    FakeClock clock;
};

// A pixel buffer with a context drawing on it.
struct Canvas {
    Canvas(int32_t width, int32_t height, uint32_t fill = 0)
        : pixels(width, height, fill), surface(pixels), context(nullptr, &surface, nullptr) {}
    PixelBuffer pixels;
    RasterSurface surface;
    DrawContext context;
};

// The pixels that differ from `background`, as (x, y) pairs in row order.
std::vector<Point> changedPixels(const PixelBuffer& pixels, uint32_t background);
// The smallest rectangle (inclusive) around the changed pixels; empty optional if none.
std::optional<Rect> inkBox(const PixelBuffer& pixels, uint32_t background);

// A view that records what the frame asks of it.
class RecordingView : public View {
  public:
    explicit RecordingView(const Rect& bounds, std::vector<RecordingView*>* destroyed = nullptr)
        : View(bounds), destroyed_(destroyed) {}
    ~RecordingView() override {
        if (destroyed_ != nullptr) {
            destroyed_->push_back(this);
        }
    }
    void draw(DrawContext&) override { ++draws; }
    void drawArea(DrawContext& context, const Rect&) override {
        ++areaDraws;
        draw(context);
    }
    void trackMouse(DrawContext&, Point& where) override {
        ++presses;
        lastPress = where;
    }
    int32_t keyDown(const KeyCode& key) override {
        lastKey = key.character;
        return keyAnswer;
    }
    bool acceptDrop(const char* const*, int32_t count, int32_t, Point) override {
        ++drops;
        lastDropCount = count;
        return acceptsDrops;
    }
    bool attached(View*) override {
        ++attaches;
        return true;
    }
    bool detached(View*) override {
        ++detaches;
        return true;
    }

    int draws = 0;
    int areaDraws = 0;
    int presses = 0;
    int drops = 0;
    int attaches = 0;
    int detaches = 0;
    int32_t lastDropCount = 0;
    int32_t keyAnswer = -1;
    int32_t lastKey = 0;
    bool acceptsDrops = false;
    Point lastPress{-1, -1};

  private:
    std::vector<RecordingView*>* destroyed_;
};

class CountingEditor : public FrameEditor {
  public:
    void idlePump() override { ++pumps; }
    int pumps = 0;
};

inline HeadlessWindow& headlessWindow(Frame& frame) {
    return *static_cast<HeadlessWindow*>(frame.window());
}

// A parent handle for frames; the headless back end only checks it is not null.
inline void* fakeParent() {
    static int parent = 0;
    return &parent;
}

}  // namespace tramvek::test
