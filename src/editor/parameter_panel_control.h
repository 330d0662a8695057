// The upper strip of the editor: the eight global parameters as horizontal bar
// knobs, the buffer buttons, the MIDI-learn and note-to-slice buttons and an
// information box about the active MIDI mode. Draws the engine's view;
// parameter edits are gestures through the editor's host, the other actions
// commands.
#pragma once

#include <cstdint>

#include "editor/view_placement.h"
#include "engine/engine_counts.h"
#include "gui/control.h"

namespace tramvek {

class EditorHost;

class ParameterPanelControl : public Control {
  public:
    static constexpr int32_t kKnobCount = EngineCounts::kParamCount;
    static constexpr int32_t kKnobWidth = 90;

    ParameterPanelControl(const Rect& bounds, EditorHost& host, const ViewPlacement& placement);

    void draw(DrawContext& context) override;
    // A press on a knob is one edit of its parameter, until the release.
    void trackMouse(DrawContext& context, Point& where) override;
    // One fine step per notch on the knob under the pointer.
    bool wheel(DrawContext* context, Point where, float distance) override;
    // Marks the panel for redraw when the engine no longer matches what it shows.
    void markIfChanged();

    // The integer shown inside knob `index` outside MIDI learn.
    int32_t displayValue(int32_t index) const;
    // 0 none, 1 MIDI learn, 2 slice triggering, 3 note-to-slice learn.
    int32_t infoSet() const;

    // The layout, in the panel's own coordinates.
    static Rect knob(int32_t index);
    static constexpr Rect kFlushButton{10, 77, 80, 92};
    static constexpr Rect kFreezeButton{90, 77, 160, 92};
    static constexpr Rect kLearnButton{175, 77, 225, 92};
    static constexpr Rect kSliceTriggerButton{240, 77, 340, 92};
    static constexpr Rect kNoteSliceLearnButton{350, 77, 450, 92};
    static constexpr Rect kInfoBox{420, 20, 545, 58};

  private:
    // Everything the panel's picture depends on, read from the view at once.
    struct Shown {
        float values[kKnobCount] = {};
        int32_t controllers[kKnobCount] = {};
        int32_t learnTarget = 0;
        bool learn = false;
        bool frozen = false;
        bool noteToSlice = false;
        bool sliceLearn = false;
        bool operator==(const Shown&) const = default;
    };

    Shown capture() const;
    void drawKnobs(DrawContext& context);
    void drawButtons(DrawContext& context);
    void drawInfo(DrawContext& context);
    // Moves the captured knob by the pointer's travel since the last change;
    // `value` is where the drag has taken it (the view may not show it yet).
    void dragKnob(DrawContext& context, int32_t knobIndex, Point& anchor, float& value);
    // The button under `where`; true when the press ends. Flush and freeze
    // fire at most once per press, and after them nothing else does.
    bool pressButtons(DrawContext& context, Point where, bool& buttonDone);
    bool hit(const Rect& ownRect, Point where) const;

    EditorHost& host_;
    ViewPlacement placement_;
    // What the last draw showed; the mouse handling works from it.
    Shown shown_;
};

}  // namespace tramvek
