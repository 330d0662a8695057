// The editor's idle cost on the raster back end, beside the full repaint of a
// damaged window in the same run: an idle with nothing changed, an idle while
// the playing step moves on every call (more often than any tempo moves it),
// and the paint of the whole window.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "gui/frame.h"
#include "plugin/vst2/vst2_editor.h"
#include "support/engine_state_access.h"
#include "support/headless_platform.h"
#include "support/headless_window.h"

namespace tramvek {
namespace {

VstIntPtr VST_CALLBACK quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

// An engine with a recorded waveform and an open, painted editor.
class OpenEditor {
  public:
    OpenEditor() : engine_(std::make_unique<SlicerPlugin>(&quietHost)) {
        for (int32_t i = 0; i < SlicerEngine::kBufferCapacity; ++i) {
            const float sample = 0.6f * std::sin(static_cast<float>(i) * 0.01f);
            stateOf(*engine_).playBuffers.writable(0)[i] = sample;
            stateOf(*engine_).playBuffers.writable(1)[i] = sample;
        }
        auto editor = std::make_unique<Vst2Editor>(*engine_, engine_->engine());
        editor_ = &editor->editor();
        engine_->setEditor(std::move(editor));
        static int parent = 0;
        editor_->open(&parent);
        window().paintPendingArea();
        editor_->idle();
        editor_->idle();
    }
    ~OpenEditor() {
        engine_->setEditor(nullptr);  // the editor points into the engine, which goes next
    }
    OpenEditor(const OpenEditor&) = delete;
    OpenEditor& operator=(const OpenEditor&) = delete;

    HeadlessWindow& window() { return *static_cast<HeadlessWindow*>(editor_->frame()->window()); }
    SlicerEditor& editor() { return *editor_; }
    SlicerPlugin& engine() { return *engine_; }

    // What the audio thread changes from one step to the next. Steps 1 and 2
    // in turn: both show as the playing step (a beat step's colour hides it),
    // so every idle redraws the sequencer and the waveform, the worst case.
    void advanceStep() {
        step_ = step_ == 1 ? 2 : 1;
        stateOf(*engine_).currentStep = step_;
        stateOf(*engine_).scheduledSlot = step_;
        stateOf(*engine_).nextStepIndex = step_;
    }

  private:
    std::unique_ptr<SlicerPlugin> engine_;
    SlicerEditor* editor_ = nullptr;
    int32_t step_ = 0;
};

void BM_IdleNothingChanged(benchmark::State& state) {
    OpenEditor open;
    for (auto _ : state) {
        open.editor().idle();
    }
}
BENCHMARK(BM_IdleNothingChanged)->Unit(benchmark::kMicrosecond);

void BM_IdleWhilePlaying(benchmark::State& state) {
    OpenEditor open;
    for (auto _ : state) {
        open.advanceStep();
        open.editor().idle();
    }
}
BENCHMARK(BM_IdleWhilePlaying)->Unit(benchmark::kMicrosecond);

void BM_FullRepaint(benchmark::State& state) {
    OpenEditor open;
    HeadlessWindow& window = open.window();
    for (auto _ : state) {
        window.invalidate({0, 0, 590, 331});
        window.paintPendingArea();
    }
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tramvek

BENCHMARK_MAIN();
