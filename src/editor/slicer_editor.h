// The plug-in's editor: a frame over the background picture holding the
// waveform view, the step sequencer, the parameter panel and the "?" help
// button. Every idle it feeds the views from the engine's view (through its
// host) and lets the frame redraw what changed.
#pragma once

#include <atomic>
#include <cstdint>

#include "editor/framed_editor.h"
#include "gui/control_listener.h"
#include "gui/geometry.h"

namespace tramvek {

class Bitmap;
class OverlayButton;
class ParamDisplay;
class ParameterPanelControl;
class StepSequencerControl;
class WaveformView;

class SlicerEditor : public FramedEditor, private ControlListener {
  public:
    static constexpr int32_t kBackgroundResource = 128;
    static constexpr int32_t kHelpResource = 133;

    // Every edit and every read of the engine goes through `host`.
    explicit SlicerEditor(EditorHost& host);
    ~SlicerEditor() override;

    // The window's size: the background picture's.
    Rect bounds() const;
    bool open(void* parent) override;
    void close() override;
    void idle() override;
    // From any thread: parameters, the program or the state changed outside
    // the editor. The panel redraws at the next idle while open; with an
    // update the whole editor does.
    void engineValuesChanged(bool withUpdate);

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
