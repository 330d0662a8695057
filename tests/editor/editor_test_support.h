#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "editor/view_placement.h"
#include "gui/bitmap.h"
#include "gui/gui_test_support.h"
#include "support/engine_state_access.h"

namespace tramvek::test {

// The host side of the engine: counts idle requests and notes when they came.
struct HostRecorder {
    static std::vector<uint32_t> idleTimes;
    static std::function<void()> onIdle;
    static VstIntPtr VST_CALLBACK callback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float);
};

// A fresh engine, the raster back end with a fake clock, and a window-sized
// canvas the views draw into at their frame positions.
class EditorTest : public RasterTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The editor (if any) must go before the engine it points into.
    void destroyEditor();

    Color pixel(int32_t x, int32_t y) const { return canvas.pixels.color(x, y); }
    // Presses: each step is one poll of the mouse loop, the first included.
    void script(std::initializer_list<ScriptedInput::Step> steps);

    std::unique_ptr<SlicerPlugin> engine;
    Canvas canvas{590, 331, packRgb(1, 2, 3)};
};

// A surface template and the placement a view gets from the editor.
struct Placement {
    Placement(int32_t templateWidth, int32_t templateHeight, ViewPlacement where)
        : surface(new Bitmap(nullptr, templateWidth, templateHeight)), placement(where) {
        placement.surface = surface;
    }
    ~Placement() { surface->release(); }
    Placement(const Placement&) = delete;
    Placement& operator=(const Placement&) = delete;

    Bitmap* surface;
    ViewPlacement placement;
};

// Views are reference counted; this releases one at the end of a test.
template <typename ViewType>
struct Released {
    void operator()(ViewType* view) const { view->release(); }
};
template <typename ViewType>
using ViewPtr = std::unique_ptr<ViewType, Released<ViewType>>;

}  // namespace tramvek::test
