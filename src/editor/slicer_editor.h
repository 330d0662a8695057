// The plug-in's editor: a frame over the background picture holding the
// waveform view, the step sequencer, the parameter panel and the "?" help
// button. Every idle it feeds the views from the engine and lets the frame
// redraw what changed.
#pragma once

#include <atomic>
#include <cstdint>

#include "editor/gui_editor_base.h"
#include "gui/control_listener.h"

namespace tramvek {

class Bitmap;
class OverlayButton;
class ParamDisplay;
class ParameterPanelControl;
class SlicerEffect;
class StepSequencerControl;
class WaveformView;

class SlicerEditor : public GuiEditorBase, private ControlListener {
  public:
    static constexpr int32_t kBackgroundResource = 128;
    static constexpr int32_t kHelpResource = 133;

    // Registers with the engine: the engine's editor and panel-redraw flag point here.
    explicit SlicerEditor(SlicerEffect* engine);
    ~SlicerEditor() override;

    VstInt32 open(void* parent) override;
    void close() override;
    void idle() override;
    void parameterChanged(VstInt32 index, float value) override;

    // Set by the engine (any thread) when parameters or the program changed
    // outside the panel; consumed by the next idle while open.
    std::atomic<bool> panelRedrawPending{false};

    // The views of an open editor (null while closed); the frame owns them.
    WaveformView* waveformView() const { return waveformView_; }
    StepSequencerControl* stepSequencer() const { return stepSequencer_; }
    ParameterPanelControl* parameterPanel() const { return parameterPanel_; }
    ParamDisplay* helpLabel() const { return helpLabel_; }
    OverlayButton* helpButton() const { return helpButton_; }
    Bitmap* background() const { return background_; }

  private:
    void valueChanged(DrawContext& context, Control* control) override;
    // Adds a view to the frame, or destroys it when the frame cannot take it.
    template <typename ViewType>
    ViewType* addToFrame(ViewType* view);
    void forgetViews();

    SlicerEffect& engine_;
    Bitmap* background_;
    Bitmap* waveformSurface_ = nullptr;
    Bitmap* sequencerSurface_ = nullptr;
    Bitmap* panelSurface_ = nullptr;
    WaveformView* waveformView_ = nullptr;
    StepSequencerControl* stepSequencer_ = nullptr;
    ParameterPanelControl* parameterPanel_ = nullptr;
    ParamDisplay* helpLabel_ = nullptr;
    OverlayButton* helpButton_ = nullptr;
};

}  // namespace tramvek
