#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "editor/editor_host.h"
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

// The editor's host over the test's engine, on the test's own thread (so
// every command applies as it comes), the view read afresh at each call, and
// the parameter gestures are kept in order (a perform sets the engine, as a
// plug-in's would).
class RecordingHost : public EditorHost {
  public:
    enum Kind { kBegin, kPerform, kEnd };
    struct Edit {
        Kind kind;
        int32_t index;
        float value;
    };

    explicit RecordingHost(SlicerEngine& engine) : engine_(engine) {}
    void beginEdit(int32_t index) override { edits.push_back({kBegin, index, 0.0f}); }
    void performEdit(int32_t index, float value) override {
        edits.push_back({kPerform, index, value});
        engine_.post({EngineCommand::Kind::kSetParameter, index, 0, value}, CommandSource::kEditor);
    }
    void endEdit(int32_t index) override { edits.push_back({kEnd, index, 0.0f}); }
    void send(const EngineCommand& command) override {
        sent.push_back(command);
        engine_.post(command, CommandSource::kEditor);
    }
    const EngineView& view() override {
        if (!viewLags) {
            engine_.fillView(*view_);
        }
        return *view_;
    }
    bool freezeAudio(const float* left, const float* right, int32_t samples) override {
        return engine_.loadFrozenAudio(left, right, samples);
    }
    void hostIdle() override {}

    std::vector<Edit> edits;
    std::vector<EngineCommand> sent;
    // As a host whose audio thread has not published since: the view stays as last read.
    bool viewLags = false;

  private:
    SlicerEngine& engine_;
    std::unique_ptr<EngineView> view_ = std::make_unique<EngineView>();
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
    std::unique_ptr<RecordingHost> host;
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
