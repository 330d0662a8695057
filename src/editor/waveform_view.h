// The lower strip of the editor: the play buffers over one record cycle as a
// waveform laid over 32 slice boxes, the slices played so far shaded and the
// playing one green; in note-to-slice learn it shows each slice's note and a
// click picks the slice the next learned note goes to. An audio file dropped
// on it becomes the frozen pattern; one that cannot be frozen is named in a
// line over the waveform until the next click on it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "editor/view_placement.h"
#include "engine/engine_counts.h"
#include "gui/view.h"

namespace tramvek {

class EditorHost;

class WaveformView : public View {
  public:
    static constexpr int32_t kColumnCapacity = 1000;
    static constexpr int32_t kSliceCount = EngineCounts::kSliceCount;

    WaveformView(const Rect& bounds, EditorHost& host, const ViewPlacement& placement);

    void draw(DrawContext& context) override;
    void trackMouse(DrawContext& context, Point& where) override;
    // File drops only: the first file becomes the frozen pattern.
    bool acceptDrop(const char* const* items, int32_t count, int32_t type, Point where) override;
    // Takes the engine view's overview of the play buffers, one sample per
    // column, and marks the view for redraw when the waveform or the slices
    // it shows have changed.
    virtual void refreshWaveform();

    // Column k's waveform value (signed; a full-scale sample gives 102).
    int32_t column(int32_t k) const { return columns_[k]; }
    // Slice box k, in the view's own coordinates.
    const Rect& sliceBox(int32_t k) const { return sliceBoxes_[k]; }
    // Why the last drop changed nothing; empty when it froze its file, or after a click.
    const std::string& dropMessage() const { return dropMessage_; }

  private:
    // What the slices show, read from the view at once.
    struct Slices {
        bool learn = false;
        int32_t learnTarget = 0;
        bool frozen = false;
        int32_t nextStep = 0;
        int32_t playing = 0;
        int32_t notes[kSliceCount] = {};
        bool operator==(const Slices&) const = default;
    };
    using Columns = std::array<int32_t, kColumnCapacity>;

    Slices captureSlices() const;
    void drawSlices(DrawContext& context);
    void drawWaveform(DrawContext& context);
    void drawDropMessage(DrawContext& context);

    EditorHost& host_;
    ViewPlacement placement_;
    // Sampled by the last refresh; drawn from.
    Columns columns_{};
    // What the last draw showed.
    Columns drawnColumns_{};
    Slices drawnSlices_;
    std::array<Rect, kSliceCount> sliceBoxes_{};
    std::string dropMessage_;
};

}  // namespace tramvek
