#include "editor/step_sequencer_control.h"

#include <algorithm>

#include "editor/editor_host.h"
#include "editor/engine_reads.h"
#include "editor/wheel_steps.h"
#include "gui/draw_context.h"
#include "gui/mouse_buttons.h"

namespace tramvek {

namespace {

using Engine = EngineCounts;

constexpr Color kBlack{0, 0, 0};
constexpr Color kCell{240, 240, 245};
constexpr Color kPlayingCell{240, 190, 190};
constexpr Color kFourthCell{225, 225, 230};
constexpr Color kEighthCell{210, 210, 215};
constexpr Color kBarOutline{130, 130, 130};
constexpr Color kLengthShuffleBox{195, 197, 224};
constexpr Color kResolutionFill{220, 220, 235};
constexpr Color kSelectedLane{152, 252, 247};
constexpr Color kOtherLane{200, 200, 210};
constexpr Color kCurrentPattern{240, 100, 114};
constexpr Color kOtherPattern{210, 210, 224};
constexpr Color kLearnTargetPattern{250, 130, 130};
constexpr Color kLearnOtherPattern{240, 240, 240};
constexpr Color kCurrentBank{250, 170, 214};
constexpr Color kOtherBank{220, 220, 234};
constexpr Color kHelpFill{245, 245, 255};
constexpr Color kLearning{250, 130, 130};
constexpr Color kLearningText{250, 250, 250};
constexpr Color kNotLearning{240, 240, 240};

struct BarColors {
    Color triggered;
    Color silent;
};
constexpr BarColors kBarColors[StepSequencerControl::kLaneCount] = {
    {{64, 78, 192}, {108, 116, 175}},   {{148, 235, 156}, {218, 255, 216}},
    {{180, 222, 216}, {230, 255, 250}}, {{233, 201, 103}, {255, 240, 150}},
    {{254, 146, 114}, {255, 200, 160}}, {{82, 235, 204}, {200, 249, 239}},
    {{250, 149, 139}, {250, 219, 219}},
};

constexpr const char* kLaneNames[StepSequencerControl::kLaneCount] = {"Trigger", "Attack", "Length", "Cutoff",
                                                                      "ReadPos", "Pitch",  "Reverse"};
// What a right click writes; the ReadPos lane writes the step's own position instead.
constexpr float kLaneDefaults[StepSequencerControl::kLaneCount] = {0.0f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.0f};
constexpr const char* kResolutionLabels[Engine::kResolutionCount] = {"1/64", "1/32", "1/24", "1/16",
                                                                     "1/12", "1/8",  "1/4"};
constexpr const char* kBankLabels[StepSequencerControl::kBankButtonCount] = {"A", "B", "C", "D"};
constexpr const char* kReverseMarks[2] = {"-", "R"};

// One set per lane, then the set shown while pattern notes are learned.
constexpr int32_t kLearnHelpSet = StepSequencerControl::kLaneCount;
constexpr const char* kHelpTexts[StepSequencerControl::kLaneCount + 1][StepSequencerControl::kHelpLineCount] =
    {
        {"Envelope Trigger:", "Height = Gain", "Rightclick = Delete"},
        {"Envelope Attack:", "+ / - offset", "Rightclick = 0"},
        {"Envelope Length:", "+ / - offset", "Rightclick = 0"},
        {"Filter Cutoff:", "+ / - offset", "Rightclick = 0"},
        {"Buffer-Position:", "Read-Position", "in Steps"},
        {"Pitch:", "+ / - offset", "Rightclick = 0"},
        {"Reverse:", "Leftclick = On", "Rightclick = Off"},
        {"MidiLearn: Select", "Pattern above and", "Hit Midi-Note!"},
};

constexpr int32_t kCentred = 1;
// What one wheel notch moves: a percent of Trigger, the envelope and cutoff
// lanes and the shuffle, a step of the pattern length.
constexpr int32_t kPercentLevels = 100;
constexpr int32_t kLengthLevels = Engine::kStepsPerPattern;
// Box drags: 100 pixels right or up span the whole range.
constexpr float kBoxDragPerPixel = 0.01f;

// The cell's percentage scaled to the 90-pixel bar, with the scale as the
// float it was stored as and the product taken exactly (1.0 gives 89).
int32_t percentBarHeight(float value) {
    const double scale = static_cast<double>(0.9f);
    return static_cast<int32_t>(static_cast<int32_t>(100.0f * value) * scale);
}

// A lane value moved by `distance` wheel notches: the number the cell shows
// moves by one per notch.
float laneWheelStepped(float value, float distance, int32_t lane) {
    const int32_t up = distance > 0.0f ? 1 : -1;
    switch (lane) {
        case Engine::kLaneReverse:
            return up > 0 ? 1.0f : 0.0f;
        case Engine::kLaneReadPos: {
            // Exact 32nds, as a right click writes them: i/32 shows step i + 1.
            const int32_t step = std::clamp(StepSequencerControl::laneValueText(value, lane) + up, 1, 32);
            return static_cast<float>(step - 1) / 32.0f;
        }
        case Engine::kLanePitch: {
            // Semitones shown are trunc(24 v - 12): aim a quarter away from zero
            // so that truncation lands on the wanted one.
            const int32_t semitone =
                std::clamp(StepSequencerControl::laneValueText(value, lane) + up, -12, 12);
            const float nudge = semitone > 0 ? 0.25f : (semitone < 0 ? -0.25f : 0.0f);
            return std::clamp((static_cast<float>(semitone + 12) + nudge) / 24.0f, 0.0f, 1.0f);
        }
        default:
            return wheelStepped(value, distance, kPercentLevels);
    }
}

}  // namespace

// Rectangles of the layout, in the control's own coordinates.
Rect StepSequencerControl::stepCell(int32_t step) {
    return {5 + kStepWidth * step, 5, 19 + kStepWidth * step, 95};
}

Rect StepSequencerControl::laneButton(int32_t lane) {
    return {5 + 44 * lane, 103, 45 + 44 * lane, 118};
}

Rect StepSequencerControl::patternButton(int32_t pattern) {
    const int32_t column = pattern % 4;
    const int32_t top = pattern < 4 ? 28 : 43;
    return {470 + 22 * column, top, 488 + 22 * column, top + 12};
}

Rect StepSequencerControl::bankButton(int32_t bank) {
    return {470 + 22 * bank, 60, 488 + 22 * bank, 72};
}

StepSequencerControl::StepSequencerControl(const Rect& bounds, EditorHost& host,
                                           const ViewPlacement& placement)
    : Control(bounds, nullptr, 0, nullptr), host_(host), placement_(placement) {}

int32_t StepSequencerControl::laneValueText(float value, int32_t lane) {
    value = clampUnit(value);
    switch (lane) {
        case Engine::kLaneTrigger:
            return static_cast<int32_t>(100.0f * value);
        case Engine::kLaneAttack:
        case Engine::kLaneLength:
        case Engine::kLaneCutoff:
            return static_cast<int32_t>(100.0f * value) - 50;
        case Engine::kLaneReadPos:
            return static_cast<int32_t>((value + 0.03125f) * 31.0f + 1.0f);
        case Engine::kLanePitch:
            return static_cast<int32_t>(24.0f * value - 12.0f);
        case Engine::kLaneReverse:
            return static_cast<int32_t>(value);
        default:
            return 0;
    }
}

int32_t StepSequencerControl::laneBarHeight(float value, int32_t lane) {
    value = clampUnit(value);
    switch (lane) {
        case Engine::kLaneTrigger:
        case Engine::kLaneAttack:
        case Engine::kLaneLength:
        case Engine::kLaneCutoff:
            return percentBarHeight(value);
        case Engine::kLaneReadPos:
            return static_cast<int32_t>(kBarFullHeight * 0.03125 * static_cast<int32_t>(32.0f * value));
        case Engine::kLanePitch:
            return static_cast<int32_t>(kBarFullHeight * static_cast<double>(0.0416f) *
                                        static_cast<int32_t>(24.0f * value));
        case Engine::kLaneReverse:
            return static_cast<int32_t>(value) * kBarFullHeight;
        default:
            return 0;
    }
}

float StepSequencerControl::slotValue(int32_t lane, int32_t step) const {
    return host_.view()
        .patternSteps[clampIndex(lane, Engine::kStoredLaneCount)][clampIndex(step, kStepCount)];
}

void StepSequencerControl::sendStepValue(int32_t step, float value, int32_t lane) {
    const int32_t firstSlot =
        clampIndex(host_.view().snapshot.patternOffset, Engine::kSlotCount - kStepCount + 1);
    host_.send({EngineCommand::Kind::kSetStepValue, firstSlot + step, lane, value});
}

StepSequencerControl::Shown StepSequencerControl::capture() const {
    const EditorSnapshot& engine = host_.view().snapshot;
    Shown now;
    now.editLane = editLane_;
    now.learn = engine.patternNoteLearn;
    now.playingStep = engine.noteToSliceMode ? engine.playingSlot : engine.currentStep;
    if (now.playingStep % 4 == 0) {
        now.playingStep = -1;  // the beat colours hide it there: no redraw for it
    }
    now.bank = clampIndex(engine.currentBank, Engine::kBankCount);
    for (int32_t i = 0; i < kStepCount; ++i) {
        now.values[i] = clampUnit(slotValue(editLane_, i));
        now.triggered[i] = slotValue(Engine::kLaneTrigger, i) > 0.0f;
    }
    now.lengthValue = clampUnit(engine.patternLengthValue);
    now.length = engine.patternLength;
    now.shuffle = clampUnit(engine.shuffle);
    now.resolution = clampIndex(engine.resolutionIndex, Engine::kResolutionCount);
    now.currentPattern = engine.currentPattern;
    now.learnTarget = engine.patternLearnTarget;
    for (int32_t k = 0; k < kPatternButtonCount; ++k) {
        now.patternNotes[k] = engine.patternNotes[k];
    }
    return now;
}

bool StepSequencerControl::stale() const {
    return capture() != shown_;
}

void StepSequencerControl::markIfChanged() {
    if (stale()) {
        setNeedsRedraw(true);
    }
}

void StepSequencerControl::showChanges(DrawContext& context) {
    if (stale()) {
        draw(context);
    }
}

void StepSequencerControl::draw(DrawContext& context) {
    shown_ = capture();
    drawThroughOffscreen(context, placement_, [this](DrawContext& offscreen) {
        paintControlFace(offscreen, placement_.picture(), shown_.learn);
        drawSteps(offscreen);
        drawBoxes(offscreen);
        drawButtons(offscreen);
        drawHelp(offscreen);
    });
    setNeedsRedraw(false);
}

void StepSequencerControl::drawSteps(DrawContext& context) {
    const int32_t lane = shown_.editLane;
    for (int32_t i = 0; i < kStepCount; ++i) {
        const float value = shown_.values[i];
        const Rect cell = stepCell(i);

        Color background = kCell;
        if (i == shown_.playingStep) {
            background = kPlayingCell;
        }
        if (i % 4 == 0) {
            background = kFourthCell;
        }
        if (i % 8 == 0) {
            background = kEighthCell;
        }
        context.setFillColor(background);
        context.fillInside(cell);

        const int32_t barHeight = std::max(laneBarHeight(value, lane), 1);
        const Rect bar{cell.left + 3, cell.bottom - barHeight, cell.right - 3, cell.bottom};
        const BarColors& colors = kBarColors[lane];
        context.setFillColor(shown_.triggered[i] ? colors.triggered : colors.silent);
        context.fillInside(bar);
        context.setPenColor(kBarOutline);
        context.outlineRect(bar);

        context.setPenColor(kBlack);
        context.outlineRect(cell);

        const int32_t number = laneValueText(value, lane);
        const Rect numberArea{cell.left, cell.top, cell.right, cell.bottom - 65};
        if (lane == Engine::kLaneReverse) {
            context.drawText(kReverseMarks[number != 0 ? 1 : 0], numberArea, false, kCentred);
        } else {
            context.drawText(decimal(number), numberArea, false, kCentred);
        }
    }
}

void StepSequencerControl::drawBoxes(DrawContext& context) {
    context.setFillColor(kLengthShuffleBox);
    context.fillInside(kLengthBox);
    context.drawText("Length:", {323, 103, 361, 118}, false, kCentred);
    context.setPenColor(kBlack);
    context.outlineRect(kLengthBox);
    context.drawText(decimal(shown_.length), {357, 103, 371, 118}, false, kCentred);

    context.setFillColor(kLengthShuffleBox);
    context.fillInside(kShuffleBox);
    context.drawText("Shuffle: ", {378, 103, 416, 118}, false, kCentred);
    context.outlineRect(kShuffleBox);
    context.drawText(decimal(static_cast<int32_t>(100.0f * shown_.shuffle)), {412, 103, 426, 118}, false,
                     kCentred);

    context.setFillColor(kResolutionFill);
    context.fillInside(kResolutionBox);
    context.outlineRect(kResolutionBox);
    context.drawText(kResolutionLabels[shown_.resolution], kResolutionBox, true, kCentred);
}

void StepSequencerControl::drawButtons(DrawContext& context) {
    for (int32_t j = 0; j < kLaneCount; ++j) {
        const Rect button = laneButton(j);
        context.outlineRect(button);
        context.setFillColor(j == shown_.editLane ? kSelectedLane : kOtherLane);
        context.fillInside(button);
        context.drawText(kLaneNames[j], button, true, kCentred);
    }

    context.setTextColor(kBlack);
    for (int32_t k = 0; k < kPatternButtonCount; ++k) {
        const Rect button = patternButton(k);
        context.outlineRect(button);
        if (shown_.learn) {
            context.setFillColor(k == shown_.learnTarget ? kLearnTargetPattern : kLearnOtherPattern);
            context.fillInside(button);
            if (shown_.patternNotes[k] != 0) {
                context.drawText(decimal(shown_.patternNotes[k]), button, false, kCentred);
            }
        } else {
            context.setFillColor(k == shown_.currentPattern ? kCurrentPattern : kOtherPattern);
            context.fillInside(button);
            context.drawText(decimal(k + 1), button, false, kCentred);
        }
    }

    for (int32_t b = 0; b < kBankButtonCount; ++b) {
        const Rect button = bankButton(b);
        context.outlineRect(button);
        context.setFillColor(b == shown_.bank ? kCurrentBank : kOtherBank);
        context.fillInside(button);
        context.outlineRect(button);
        context.drawText(kBankLabels[b], button, false, kCentred);
    }
}

void StepSequencerControl::drawHelp(DrawContext& context) {
    context.setFillColor(kHelpFill);
    context.fillInside(kHelpBox);
    context.outlineRect(kHelpBox);
    context.setTextColor(kBlack);
    const auto& lines = kHelpTexts[shown_.learn ? kLearnHelpSet : shown_.editLane];
    for (int32_t n = 0; n < kHelpLineCount; ++n) {
        context.drawText(lines[n], {470, 83 + 12 * n, 555, 93 + 12 * n}, false, kCentred);
    }

    context.setFillColor(shown_.learn ? kLearning : kNotLearning);
    context.setTextColor(shown_.learn ? kLearningText : kBlack);
    context.fillInside(kLearnButton);
    context.outlineRect(kLearnButton);
    context.drawText("MidiLearn", kLearnButton, false, kCentred);
}

// ---- Mouse ----

struct StepSequencerControl::PressState {
    Point where;
    MouseButtons buttons = 0;
    int32_t hitStep = -1;
    float hitValue = 0.0f;
    bool stepEdited = false;
    bool lengthDragged = false;
    bool shuffleDragged = false;

    bool untouched() const { return !stepEdited && !lengthDragged && !shuffleDragged; }
    bool shift() const { return (buttons & mouse::ShiftKey) != 0; }
    bool left() const { return (buttons & mouse::LeftButton) != 0; }
    bool right() const { return (buttons & mouse::RightButton) != 0; }
};

bool StepSequencerControl::hit(const Rect& ownRect, Point where) const {
    return placement_.inFrame(ownRect).contains(where);
}

// Every pass shows what the press changed and then waits in the editor's idle
// pump, so a held button neither spins the processor nor hides its effect.
void StepSequencerControl::trackMouse(DrawContext& context, Point& where) {
    PressState press;
    for (;;) {
        press.buttons = context.pollMouseButtons();
        press.where = context.pollMousePosition(where);
        if (press.buttons == 0) {
            return;
        }
        const bool ended = trackPass(context, press);
        showChanges(context);
        if (ended) {
            return;
        }
        idleDuringTracking();
    }
}

bool StepSequencerControl::trackPass(DrawContext& context, PressState& press) {
    trackSteps(press);
    if (hit(kLengthBox, press.where) && !press.stepEdited && !press.shuffleDragged) {
        dragBox(context, press, true);
    }
    if (hit(kShuffleBox, press.where) && !press.stepEdited && !press.lengthDragged) {
        dragBox(context, press, false);
    }
    if (trackResolution(press)) {
        return true;
    }
    trackLanes(press);
    trackPatterns(press);
    trackBanks(press);
    return trackLearnButton(press);
}

void StepSequencerControl::trackSteps(PressState& press) {
    if (!press.lengthDragged && !press.shuffleDragged) {
        // Neighbouring cells share a column; the later cell wins it.
        for (int32_t i = 0; i < kStepCount; ++i) {
            const Rect cell = stepCell(i);
            const Rect area{cell.left, cell.top - 3, cell.right, cell.bottom + 2};
            if (!hit(area, press.where)) {
                continue;
            }
            press.hitStep = i;
            press.hitValue = static_cast<float>(cell.bottom + 2 + placement_.originY - press.where.y) /
                             static_cast<float>(kBarFullHeight);
            if (press.right()) {
                press.hitValue = editLane_ == Engine::kLaneReadPos ? static_cast<float>(i) * 0.03125f
                                                                   : kLaneDefaults[editLane_];
            }
            press.hitValue = std::min(press.hitValue, 1.0f);
        }
    }
    // The cell hit last is written on every pass of the press, wherever the pointer is.
    if (press.hitStep >= 0) {
        sendStepValue(press.hitStep, press.hitValue, editLane_);
        press.stepEdited = true;
    }
}

void StepSequencerControl::dragBox(DrawContext& context, PressState& press, bool lengthBox) {
    Point anchor;
    context.pollMousePosition(anchor);
    // Each pass moves on from the value the last one set, which the view may not show yet.
    float shown = lengthBox ? shown_.lengthValue : shown_.shuffle;
    do {
        (lengthBox ? press.lengthDragged : press.shuffleDragged) = true;
        Point pointer;
        context.pollMousePosition(pointer);
        float value = static_cast<float>(pointer.x - anchor.x) * kBoxDragPerPixel +
                      static_cast<float>(anchor.y - pointer.y) * kBoxDragPerPixel + shown;
        value = std::clamp(value, 0.0f, 1.0f);
        if (press.right()) {
            value = lengthBox ? 1.0f : 0.0f;
        }
        if (lengthBox) {
            host_.send({EngineCommand::Kind::kSetPatternLength, 0, 0, value});
        } else {
            host_.send({EngineCommand::Kind::kSetShuffle, 0, 0, value});
        }
        shown = lengthBox ? clampPatternLengthValue(value) : value;
        draw(context);
        idleDuringTracking();
        press.buttons = context.pollMouseButtons();
        anchor = pointer;
    } while (press.buttons != 0);
}

bool StepSequencerControl::trackResolution(const PressState& press) {
    if (!hit(kResolutionBox, press.where) || !press.untouched()) {
        return false;
    }
    if (press.right()) {
        host_.send({EngineCommand::Kind::kPreviousResolution});
    } else {
        host_.send({EngineCommand::Kind::kNextResolution});
    }
    return true;
}

void StepSequencerControl::trackLanes(const PressState& press) {
    if (!press.untouched()) {
        return;
    }
    for (int32_t j = 0; j < kLaneCount; ++j) {
        if (hit(laneButton(j), press.where)) {
            editLane_ = j;
            return;
        }
    }
}

void StepSequencerControl::trackPatterns(PressState& press) {
    for (int32_t k = 0; k < kPatternButtonCount; ++k) {
        if (!press.untouched() || !hit(patternButton(k), press.where)) {
            continue;
        }
        if (shown_.learn) {
            host_.send({EngineCommand::Kind::kSetPatternLearnTarget, k});
        } else if (press.shift()) {
            if (press.left()) {
                host_.send({EngineCommand::Kind::kCopyPattern, k});
            } else if (press.right()) {
                host_.send({EngineCommand::Kind::kPastePattern, k});
                host_.send({EngineCommand::Kind::kSelectPattern, k});
            }
        } else {
            host_.send({EngineCommand::Kind::kSelectPattern, k});
            press.stepEdited = true;
        }
        return;
    }
}

void StepSequencerControl::trackBanks(const PressState& press) {
    if (press.stepEdited || press.lengthDragged) {
        return;
    }
    for (int32_t b = 0; b < kBankButtonCount; ++b) {
        if (hit(bankButton(b), press.where)) {
            host_.send({EngineCommand::Kind::kSelectBank, b});
        }
    }
}

bool StepSequencerControl::trackLearnButton(const PressState& press) {
    if (press.stepEdited || press.lengthDragged || !hit(kLearnButton, press.where)) {
        return false;
    }
    host_.send({EngineCommand::Kind::kTogglePatternNoteLearn});
    return true;
}

// ---- Wheel ----

bool StepSequencerControl::wheel(DrawContext* context, Point where, float distance) {
    if (!applyWheel(where, distance)) {
        return false;
    }
    if (context != nullptr) {
        draw(*context);
    }
    return true;
}

bool StepSequencerControl::applyWheel(Point where, float distance) {
    if (!(distance != 0.0f)) {
        return false;
    }
    if (hit(kLengthBox, where)) {
        host_.send({EngineCommand::Kind::kSetPatternLength, 0, 0,
                    wheelStepped(host_.view().snapshot.patternLengthValue, distance, kLengthLevels)});
        return true;
    }
    if (hit(kShuffleBox, where)) {
        host_.send({EngineCommand::Kind::kSetShuffle, 0, 0,
                    wheelStepped(host_.view().snapshot.shuffle, distance, kPercentLevels)});
        return true;
    }
    for (int32_t i = kStepCount - 1; i >= 0; --i) {
        if (hit(stepCell(i), where)) {
            const float value = slotValue(editLane_, i);
            sendStepValue(i, laneWheelStepped(value, distance, editLane_), editLane_);
            return true;
        }
    }
    return false;
}

}  // namespace tramvek
