#include "editor/parameter_panel_control.h"

#include <algorithm>

#include "editor/editor_host.h"
#include "editor/engine_reads.h"
#include "editor/wheel_steps.h"
#include "gui/draw_context.h"
#include "params/parameter_table.h"

namespace tramvek {

namespace {

constexpr Color kBlack{0, 0, 0};
constexpr Color kWhite{255, 255, 255};
constexpr Color kKnob{165, 174, 214};
constexpr Color kLearnTargetKnob{252, 35, 27};
constexpr Color kKnobBar{90, 107, 190};
constexpr Color kKnobNumber{254, 244, 243};
constexpr Color kFlush{240, 50, 50};
constexpr Color kFreeze{50, 50, 150};
constexpr Color kFrozen{100, 100, 250};
constexpr Color kSwitchOff{240, 240, 240};
constexpr Color kSwitchOn{250, 130, 130};
constexpr Color kInfoFill{244, 151, 129};

// What one wheel notch moves: one shown unit (a percent, or a semitone of B-Pitch).
int32_t wheelLevels(int32_t index) {
    return kParameterFacts[index].displayMaximum - kParameterFacts[index].displayMinimum;
}

constexpr int32_t kInfoLineCount = 3;
constexpr const char* kInfoTexts[4][kInfoLineCount] = {
    {"", "", ""},
    {"Midi Learn:", "Click on the Parameter", "And Move Controler !"},
    {"Midi-Note -> Slice Triggering:", "Play Slices via MidiKeys!", "Use Learn to Assign!"},
    {"Midi-Note -> Slice Assign:", "click on Slice in Waveform", "below and hit Midi-Note!"},
};

constexpr int32_t kCentred = 1;
// 75 pixels to the right, or 800 pixels up, span a knob's whole range.
constexpr float kKnobPerPixelRight = 0.013333334f;
constexpr float kKnobPerPixelUp = 0.00125f;

}  // namespace

Rect ParameterPanelControl::knob(int32_t index) {
    const int32_t left = 10 + 102 * (index % 4);
    const int32_t top = 5 + 35 * (index / 4);
    return {left, top, left + kKnobWidth, top + 20};
}

ParameterPanelControl::ParameterPanelControl(const Rect& bounds, EditorHost& host,
                                             const ViewPlacement& placement)
    : Control(bounds, nullptr, 0, nullptr), host_(host), placement_(placement) {}

int32_t ParameterPanelControl::displayValue(int32_t index) const {
    if (index < 0 || index >= kKnobCount) {
        return 0;
    }
    return displayUnits(index, shown_.values[index]);
}

int32_t ParameterPanelControl::infoSet() const {
    if (shown_.sliceLearn) {
        return 3;
    }
    if (shown_.noteToSlice) {
        return 2;
    }
    return shown_.learn ? 1 : 0;
}

ParameterPanelControl::Shown ParameterPanelControl::capture() const {
    const EditorSnapshot& engine = host_.view().snapshot;
    Shown now;
    for (int32_t i = 0; i < kKnobCount; ++i) {
        now.values[i] = engine.paramValues[i];
        now.controllers[i] = engine.paramControllers[i];
    }
    now.learnTarget = engine.paramLearnTarget;
    now.learn = engine.paramMidiLearn;
    now.frozen = engine.frozen;
    now.noteToSlice = engine.noteToSliceMode;
    now.sliceLearn = engine.sliceNoteLearn;
    return now;
}

void ParameterPanelControl::markIfChanged() {
    if (capture() != shown_) {
        setNeedsRedraw(true);
    }
}

void ParameterPanelControl::draw(DrawContext& context) {
    shown_ = capture();
    drawThroughOffscreen(context, placement_, [this](DrawContext& offscreen) {
        paintControlFace(offscreen, placement_.picture(), shown_.learn);
        drawKnobs(offscreen);
        drawButtons(offscreen);
        drawInfo(offscreen);
    });
    setNeedsRedraw(false);
}

void ParameterPanelControl::drawKnobs(DrawContext& context) {
    for (int32_t i = 0; i < kKnobCount; ++i) {
        const Rect area = knob(i);
        context.setFillColor(shown_.learn && i == shown_.learnTarget ? kLearnTargetKnob : kKnob);
        context.fillInside(area);
        context.setPenColor(kBlack);
        context.outlineRect(area);
        context.setTextColor(kKnobNumber);
        if (shown_.learn) {
            if (shown_.controllers[i] != 0) {
                context.drawText(decimal(shown_.controllers[i]), area, false, kCentred);
            }
        } else {
            const auto barWidth = static_cast<int32_t>(kKnobWidth * clampUnit(shown_.values[i]));
            context.setFillColor(kKnobBar);
            context.fillInside({area.left, area.top, area.left + barWidth, area.bottom});
            context.drawText(decimal(displayValue(i)), area, false, kCentred);
        }
        context.setTextColor(kBlack);
        context.drawText(kParameterFacts[i].caption,
                         {area.left, area.bottom + 2, area.right, area.bottom + 12}, false, kCentred);
    }
}

void ParameterPanelControl::drawButtons(DrawContext& context) {
    context.outlineRect(kFlushButton);
    context.setFillColor(kFlush);
    context.fillInside(kFlushButton);
    context.setTextColor(kWhite);
    context.drawText("Flush Buffer!", kFlushButton, false, kCentred);

    context.outlineRect(kFreezeButton);
    context.setFillColor(shown_.frozen ? kFrozen : kFreeze);
    context.fillInside(kFreezeButton);
    context.drawText(shown_.frozen ? "Freezed!" : "Freeze Buffer!", kFreezeButton, false, kCentred);

    if (shown_.learn) {
        context.setFillColor(kSwitchOn);
    } else {
        context.setFillColor(kSwitchOff);
        context.setTextColor(kBlack);
    }
    context.fillInside(kLearnButton);
    context.outlineRect(kLearnButton);
    context.drawText("MidiLearn", kLearnButton, false, kCentred);
    context.setTextColor(kBlack);

    context.setFillColor(shown_.noteToSlice ? kSwitchOn : kSwitchOff);
    context.fillInside(kSliceTriggerButton);
    context.outlineRect(kSliceTriggerButton);
    context.drawText("Trigger Slices Via Midi!", kSliceTriggerButton, false, kCentred);

    context.setFillColor(shown_.sliceLearn ? kSwitchOn : kSwitchOff);
    context.fillInside(kNoteSliceLearnButton);
    context.outlineRect(kNoteSliceLearnButton);
    context.drawText("Midi-Learn Note->Slice", kNoteSliceLearnButton, false, kCentred);
}

void ParameterPanelControl::drawInfo(DrawContext& context) {
    const int32_t set = infoSet();
    if (set == 0) {
        return;
    }
    context.setFillColor(kInfoFill);
    context.fillInside(kInfoBox);
    context.outlineRect(kInfoBox);
    context.setTextColor(kWhite);
    for (int32_t line = 0; line < kInfoLineCount; ++line) {
        context.drawText(kInfoTexts[set][line], {420, 21 + 12 * line, 545, 35 + 12 * line}, false, kCentred);
    }
}

// ---- Mouse ----

bool ParameterPanelControl::hit(const Rect& ownRect, Point where) const {
    return placement_.inFrame(ownRect).contains(where);
}

void ParameterPanelControl::trackMouse(DrawContext& context, Point& where) {
    int32_t captured = -1;
    // Where the pointer was at the last applied change, and the value it gave.
    Point anchor{0, 0};
    float value = 0.0f;
    bool buttonDone = false;
    for (;;) {
        const MouseButtons buttons = context.pollMouseButtons();
        context.pollMousePosition(where);
        if (buttons == 0) {
            break;
        }
        idleDuringTracking();
        for (int32_t i = 0; i < kKnobCount && captured < 0; ++i) {
            if (!hit(knob(i), where)) {
                continue;
            }
            if (shown_.learn) {
                // Not captured: every knob passed over later becomes the target in turn.
                host_.send({EngineCommand::Kind::kSetLearnTarget, i});
                draw(context);
                break;
            }
            captured = i;
            anchor = where;
            value = clampUnit(shown_.values[i]);
            host_.beginEdit(captured);
        }
        if (captured >= 0) {
            dragKnob(context, captured, anchor, value);
        }
        context.pollMousePosition(where);
        if (pressButtons(context, where, buttonDone)) {
            break;
        }
    }
    if (captured >= 0) {
        host_.endEdit(captured);
    }
}

void ParameterPanelControl::dragKnob(DrawContext& context, int32_t knobIndex, Point& anchor, float& value) {
    Point pointer;
    context.pollMousePosition(pointer);
    if (pointer == anchor) {
        return;
    }
    value = std::clamp(static_cast<float>(pointer.x - anchor.x) * kKnobPerPixelRight +
                           static_cast<float>(anchor.y - pointer.y) * kKnobPerPixelUp + value,
                       0.0f, 1.0f);
    host_.performEdit(knobIndex, value);
    draw(context);
    idleDuringTracking();
    anchor = pointer;
}

bool ParameterPanelControl::pressButtons(DrawContext& context, Point where, bool& buttonDone) {
    if (buttonDone) {
        return false;
    }
    if (hit(kFlushButton, where)) {
        host_.send({EngineCommand::Kind::kFlushBuffer});
        buttonDone = true;
    } else if (hit(kFreezeButton, where)) {
        host_.send({EngineCommand::Kind::kToggleFreeze});
        buttonDone = true;
        draw(context);
    } else if (hit(kLearnButton, where)) {
        host_.send({EngineCommand::Kind::kToggleMidiLearn});
        draw(context);
        return true;
    } else if (hit(kNoteSliceLearnButton, where)) {
        host_.send({EngineCommand::Kind::kToggleNoteSliceLearn});
        draw(context);
        return true;
    } else if (hit(kSliceTriggerButton, where)) {
        host_.send({EngineCommand::Kind::kToggleSliceTriggering});
        draw(context);
        return true;
    }
    return false;
}

bool ParameterPanelControl::wheel(DrawContext* context, Point where, float distance) {
    for (int32_t i = 0; i < kKnobCount; ++i) {
        if (hit(knob(i), where)) {
            host_.edit(i, wheelStepped(host_.view().snapshot.paramValues[i], distance, wheelLevels(i)));
            if (context != nullptr) {
                draw(*context);
            }
            return true;
        }
    }
    return false;
}

}  // namespace tramvek
