#pragma once

// The toolkit's platform seam.
//
// Everything above this header (View, Control, Frame, DrawContext, Bitmap, the
// standard controls) is portable and never includes a platform header. A back end
// supplies the five interfaces below and one definition of
//
//     tramvek::Platform& tramvek::platform();
//
// Each program names its back end in its build: it links exactly one platform
// choice (`tramvek_platform_win32`, `tramvek_platform_x11`, or the tests'
// `tramvek_platform_headless`), whose one file defines platform(); the back-end
// libraries themselves define none. The toolkit calls
// platform() whenever it needs a window, an image, input or time; it never stores
// back-end types beyond the interfaces declared here.
//
// Pixel rules every back end honours (the toolkit relies on them):
// - Surface::fillRect covers left <= x < right, top <= y < bottom (nothing when
//   right <= left or bottom <= top).
// - Surface::lineTo draws from the current position to the point, the end pixel
//   excluded, and makes the point the current position (GDI's rule for 1-pixel pens).
// - Surface::drawText draws one line, no prefix characters, vertically centred in
//   the rectangle, clipped to left <= x < right, top <= y < bottom; left alignment
//   starts exactly at rect.left (the toolkit adds its own one-pixel inset); opaque
//   text fills the text's cell background with the fill colour, transparent text
//   leaves it untouched.
// - Copies (blockCopy, drawImage, drawImageTransparent) copy width x height pixels
//   unchanged; transparent copies leave the destination where the mask is set.
// - All colours ignore Color::alpha.
//
// Objects are used on the window thread only. A Surface on an image must be
// destroyed before the image.

#include <cstdint>
#include <memory>
#include <string_view>

#include "gui/color.h"
#include "gui/font_table.h"
#include "gui/geometry.h"
#include "gui/mouse_buttons.h"

namespace tramvek {

enum class PenStyle { Solid, Dotted };

enum class TextAlignment { Left, Center, Right };

class Surface;

// A platform image: a compatible bitmap (GDI) or a pixel buffer (raster).
class PlatformImage {
  public:
    virtual ~PlatformImage() = default;
    virtual int32_t width() const = 0;
    virtual int32_t height() const = 0;
};

// A drawing target with GDI-like current state: pen, fill (brush and opaque-text
// background), text colour, font and current position. A new surface starts with
// the platform's defaults (GDI: black pen, white brush, black text, system font);
// the toolkit sets what it uses. Destroying a surface restores whatever it changed
// on the underlying device and frees what it created.
class Surface {
  public:
    virtual ~Surface() = default;

    // A pen of width 1.
    virtual void setPen(Color color, PenStyle style) = 0;
    // Sets the brush and the background colour of opaque text. If no brush can be
    // made the previous one stays in use and false is returned.
    virtual bool setFill(Color color) = 0;
    virtual void setTextColor(Color color) = 0;
    virtual void selectFont(const FontRequest& font) = 0;

    virtual void moveTo(Point p) = 0;
    virtual void lineTo(Point p) = 0;
    virtual void fillRect(const Rect& r) = 0;
    virtual void drawText(std::string_view text, const Rect& r, TextAlignment alignment, bool opaque) = 0;

    // Copies width x height pixels from `from` in `source` to `to` in this surface.
    // `source` comes from the same back end.
    virtual void blockCopy(Point to, int32_t width, int32_t height, Surface& source, Point from) = 0;
    virtual void drawImage(Point to, int32_t width, int32_t height, const PlatformImage& image,
                           Point from) = 0;
    // Like drawImage, but where `mask` (made by Platform::createMask from `image`)
    // is set the destination stays as it was. The image may be modified during the
    // call but is restored before it returns.
    virtual void drawImageTransparent(Point to, int32_t width, int32_t height, PlatformImage& image,
                                      Point from, const PlatformImage& mask) = 0;
};

// What a platform window reports to its owner (the Frame).
class WindowClient {
  public:
    // A paint request; `surface` is valid for the call only, `area` is the update
    // rectangle (right and bottom exclusive, as the platform gives it).
    virtual void paint(Surface& surface, const Rect& area) = 0;
    // A left, middle or right button press at `where` in window coordinates, with
    // the buttons and modifier keys the platform reported with it (logical buttons).
    virtual void press(Point where, MouseButtons buttons) = 0;
    // A turn of the mouse wheel over the window: notches, positive away from the user.
    virtual void wheelTurned(Point where, float distance) = 0;
    // The window is being destroyed by the platform (not by ~PlatformWindow).
    virtual void windowDestroyed() = 0;
    // Dropped items: type 1 is one text with `count` = its size in bytes, type 0 is
    // `count` file paths.
    virtual void drop(const char* const* items, int32_t count, int32_t type) = 0;

  protected:
    ~WindowClient() = default;
};

// The child window of a frame. Destroying it first detaches the client (no call
// reaches the client afterwards), then revokes the drop target, destroys the
// window and drops one use of the shared window class.
class PlatformWindow {
  public:
    virtual ~PlatformWindow() = default;
    // The window's top-left corner in screen coordinates, read now.
    virtual Point screenOrigin() const = 0;
    // A surface on the window (GetDC ... ReleaseDC); null if none can be had.
    virtual std::unique_ptr<Surface> acquireSurface() = 0;
    virtual void* nativeHandle() const = 0;
};

class Platform {
  public:
    virtual ~Platform() = default;

    // Creates a visible child window of width x height at (0,0) in `parent`, or
    // returns null (no parent, no display, class or window creation failed).
    virtual std::unique_ptr<PlatformWindow> createWindow(void* parent, int32_t width, int32_t height,
                                                         WindowClient& client) = 0;

    // The program's bitmap resource `id`, or null when there is none.
    virtual std::unique_ptr<PlatformImage> loadBitmapResource(int32_t id) = 0;
    // A blank image compatible with `like` (with the screen when null); contents undefined.
    virtual std::unique_ptr<PlatformImage> createImage(int32_t width, int32_t height, Surface* like) = 0;
    // A surface drawing into `image` (a memory device context compatible with `like`).
    virtual std::unique_ptr<Surface> createImageSurface(PlatformImage& image, Surface* like) = 0;
    // A monochrome mask of `image`: set where the pixel equals `transparent`.
    virtual std::unique_ptr<PlatformImage> createMask(const PlatformImage& image, Color transparent) = 0;

    // Input at the moment of the call, from the hardware state, not the queue.
    virtual MouseButtons pollMouseButtons() = 0;
    virtual Point cursorScreenPosition() = 0;

    // Unsigned milliseconds; wraps around.
    virtual uint32_t tickCount() = 0;
    virtual void sleep(uint32_t milliseconds) = 0;
    // Dispatches one pending paint request of this thread, if any; true if one was found.
    virtual bool dispatchPendingPaint() = 0;
    // Delivers the editor's queued window events where the host's own event loop
    // does not (X11: the editor reads its private connection only here).
    virtual void pumpEvents() {}

    // Counted start and stop of the drag-and-drop services (OLE on Windows).
    virtual void startDropServices() = 0;
    virtual void stopDropServices() = 0;
};

// Defined by the program's platform choice.
Platform& platform();

}  // namespace tramvek
