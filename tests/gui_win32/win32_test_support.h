#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gui/draw_context.h"
#include "gui/platform.h"
#include "gui/raster/pixel_buffer.h"
#include "gui/raster/raster_surface.h"
#include "gui/view.h"

namespace tramvek::test {

// A screen-compatible GDI image with a context drawing on it, as the toolkit makes them.
struct GdiCanvas {
    // Cleared to `background` through the toolkit's own fill, unless none is given.
    GdiCanvas(int32_t width, int32_t height, std::optional<Color> background = std::nullopt);
    // The image's pixels as they are now.
    PixelBuffer pixels() const;

    std::unique_ptr<PlatformImage> image;
    std::unique_ptr<Surface> surface;
    DrawContext context;
};

// The same over a pixel buffer of the raster rules.
struct RasterCanvas {
    RasterCanvas(int32_t width, int32_t height)
        : pixels(width, height), surface(pixels), context(nullptr, &surface, nullptr) {}
    PixelBuffer pixels;
    RasterSurface surface;
    DrawContext context;
};

// Copies width x height pixels at (x, y) of a device context into a buffer.
PixelBuffer capture(HDC source, int32_t x, int32_t y, int32_t width, int32_t height);

// The device context of a surface of the Windows back end.
HDC dcOf(Surface& surface);

// Describes where two buffers differ, outside `ignored` (edges inclusive); empty if nowhere.
std::string differences(const PixelBuffer& actual, const PixelBuffer& expected,
                        const std::vector<Rect>& ignored = {});

// The smallest rectangle (inclusive) of pixels differing from `background`.
std::optional<Rect> inkBox(const PixelBuffer& pixels, uint32_t background);

// The bitmap file of resource `id` as linked into this program (file header added).
std::vector<uint8_t> resourceBitmapFile(int id);

// True when windows can be made (Wine with an X display).
bool displayAvailable();

// A visible top-level window at `origin` on the screen, for frames to live in;
// kept above other programs' windows so that presses and captures reach it.
class ParentWindow {
  public:
    ParentWindow(Point origin, int32_t width, int32_t height);
    ~ParentWindow();
    ParentWindow(const ParentWindow&) = delete;
    ParentWindow& operator=(const ParentWindow&) = delete;
    HWND handle() const { return window_; }
    // Forgets a window destroyed by the test itself.
    void forget() { window_ = nullptr; }

  private:
    HWND window_;
};

// Dispatches this thread's messages for `milliseconds`.
void pumpMessages(DWORD milliseconds);

}  // namespace tramvek::test

namespace tramvek::test {

// A window client that keeps the drops that reach it.
class RecordingClient : public WindowClient {
  public:
    void paint(Surface&, const Rect&) override {}
    void press(Point, MouseButtons) override {}
    void wheelTurned(Point, float) override {}
    void windowDestroyed() override {}
    void drop(const char* const* items, int32_t count, int32_t type) override {
        Drop made{{}, count, type};
        const int32_t itemCount = type == 1 ? 1 : count;
        for (int32_t i = 0; i < itemCount; ++i) {
            made.items.emplace_back(items[i],
                                    type == 1 ? static_cast<size_t>(count) + 1 : std::strlen(items[i]));
        }
        drops.push_back(made);
    }

    struct Drop {
        std::vector<std::string> items;  // text drops keep count + 1 bytes: the terminator shows
        int32_t count;
        int32_t type;
    };
    std::vector<Drop> drops;
};

// A view that counts its drawings and, on a press, polls the input the way
// controls do until everything is up (or two seconds pass), keeping what it saw.
class PressRecorder : public View {
  public:
    using View::View;
    void draw(DrawContext&) override { ++draws; }
    void trackMouse(DrawContext& context, Point& where) override;
    bool wheel(DrawContext*, Point where, float distance) override {
        wheelAt = where;
        wheelTurned += distance;
        return true;
    }

    int draws = 0;
    Point wheelAt{-1, -1};
    float wheelTurned = 0.0f;
    std::vector<Point> presses;
    MouseButtons buttonsAtPress = 0;
    MouseButtons allButtonsSeen = 0;
    Point polledAtPress{-1, -1};
    bool sawRelease = false;
};

}  // namespace tramvek::test
