#include "editor/slicer_editor.h"

#include <cstring>

#include "editor/parameter_panel_control.h"
#include "editor/step_sequencer_control.h"
#include "editor/waveform_view.h"
#include "engine/waveform_overview.h"
#include "gui/bitmap.h"
#include "gui/frame.h"
#include "gui/overlay_button.h"
#include "gui/param_display.h"

namespace tramvek {

namespace {

constexpr Rect kWaveformBounds{10, 245, 460, 325};
constexpr Rect kSequencerBounds{5, 112, 565, 242};
constexpr Rect kPanelBounds{7, 7, 582, 109};
constexpr Rect kHelpLabelBounds{500, 302, 540, 317};
constexpr Rect kHelpScreen{5, 5, 585, 327};
constexpr int32_t kHelpLabelStyle = 1;
constexpr FontId kHelpLabelFont = 2;

void questionMark(float, char* text) {
    std::strcpy(text, "?");
}

void releaseBitmap(Bitmap*& bitmap) {
    if (bitmap != nullptr) {
        bitmap->release();
        bitmap = nullptr;
    }
}

}  // namespace

SlicerEditor::SlicerEditor(EditorHost& host)
    : FramedEditor(host), background_(new Bitmap(kBackgroundResource)) {}

SlicerEditor::~SlicerEditor() {
    // A host may destroy the plug-in without closing the editor first.
    close();
    background_->release();
}

template <typename ViewType>
ViewType* SlicerEditor::addToFrame(ViewType* view) {
    if (!frame()->addView(view)) {
        view->release();
        return nullptr;
    }
    return view;
}

Rect SlicerEditor::bounds() const {
    return {0, 0, background_->width(), background_->height()};
}

bool SlicerEditor::open(void* parent) {
    std::lock_guard<std::recursive_mutex> hold(windowLock());
    if (frame() != nullptr) {
        close();  // a second open without a close builds everything afresh
    }
    postUpdate();
    setFrame(new Frame(bounds(), parent, this));
    frame()->setBackground(background_);

    waveformSurface_ = new Bitmap(frame(), 575, 90);
    waveformView_ = addToFrame(
        new WaveformView(kWaveformBounds, host(), {kWaveformStripWidth, 80, 10, 245, waveformSurface_}));
    sequencerSurface_ = new Bitmap(frame(), 575, 130);
    stepSequencer_ =
        addToFrame(new StepSequencerControl(kSequencerBounds, host(), {575, 130, 7, 112, sequencerSurface_}));
    panelSurface_ = new Bitmap(frame(), 575, 110);
    parameterPanel_ =
        addToFrame(new ParameterPanelControl(kPanelBounds, host(), {575, 102, 7, 7, panelSurface_}));

    auto* helpBitmap = new Bitmap(kHelpResource);
    auto* label = new ParamDisplay(kHelpLabelBounds, nullptr, kHelpLabelStyle);
    label->setFontId(kHelpLabelFont);
    label->setTextColor({255, 0, 0});
    label->setBackColor({250, 250, 250});
    label->setFrameColor({0, 0, 0});
    label->setConversion(&questionMark);
    helpLabel_ = addToFrame(label);
    helpButton_ = addToFrame(new OverlayButton(kHelpLabelBounds, this, 0, helpBitmap, kHelpScreen, {0, 0}));
    helpBitmap->release();  // the button keeps its own reference
    return true;
}

void SlicerEditor::close() {
    std::lock_guard<std::recursive_mutex> hold(windowLock());
    destroyFrame();
    forgetViews();
    releaseBitmap(waveformSurface_);
    releaseBitmap(sequencerSurface_);
    releaseBitmap(panelSurface_);
}

void SlicerEditor::forgetViews() {
    waveformView_ = nullptr;
    stepSequencer_ = nullptr;
    parameterPanel_ = nullptr;
    helpLabel_ = nullptr;
    helpButton_ = nullptr;
}

// Each view is redrawn only when what it shows has changed; an idle with
// nothing new draws nothing. A change the engine reports (parameters, a
// program, a loaded bank) redraws the panel and the sequencer outright.
void SlicerEditor::idle() {
    std::lock_guard<std::recursive_mutex> hold(windowLock());
    if (frame() != nullptr) {
        const bool reported = panelRedrawPending.exchange(false);
        if (waveformView_ != nullptr) {
            waveformView_->refreshWaveform();
        }
        if (parameterPanel_ != nullptr) {
            reported ? parameterPanel_->setNeedsRedraw(true) : parameterPanel_->markIfChanged();
        }
        if (stepSequencer_ != nullptr) {
            reported ? stepSequencer_->setNeedsRedraw(true) : stepSequencer_->markIfChanged();
        }
    }
    FramedEditor::idle();
}

void SlicerEditor::engineValuesChanged(bool withUpdate) {
    if (withUpdate) {
        postUpdate();
    }
    panelRedrawPending.store(true);
}

void SlicerEditor::valueChanged(DrawContext&, Control*) {}

}  // namespace tramvek
