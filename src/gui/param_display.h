#pragma once

#include <cstdint>

#include "gui/color.h"
#include "gui/control.h"
#include "gui/font_table.h"

namespace tramvek {

// Style bits of a ParamDisplay; other bits have no effect.
namespace display_style {
inline constexpr int32_t ShadowText = 4;
inline constexpr int32_t BevelIn = 0x80;
inline constexpr int32_t BevelOut = 0x100;
inline constexpr int32_t NoText = 0x800;
inline constexpr int32_t NoDraw = 0x1000;
}  // namespace display_style

// The conversions write into a buffer of ParamDisplay::TextCapacity characters.
using ValueToText = void (*)(float value, char* text);
using ValueToTextWithData = void (*)(float value, char* text, void* userData);
using TextToValue = void (*)(const char* text, float& value, void* userData);

// A control's value as one line of text over a colour or bitmap background.
class ParamDisplay : public Control {
  public:
    static constexpr int32_t TextCapacity = 256;

    ParamDisplay(const Rect& bounds, Bitmap* background, int32_t style);

    void draw(DrawContext& context) override;

    virtual void setFontId(FontId id);
    virtual void setTextColor(Color color);
    virtual void setBackColor(Color color);
    virtual void setFrameColor(Color color);
    virtual void setShadowColor(Color color);
    virtual void setAlignment(int32_t align);
    virtual void setBackOffset(Point offset);
    virtual void setConversionWithData(ValueToTextWithData function, void* userData);
    virtual void setConversion(ValueToText function);
    virtual void setTextToValue(TextToValue function);
    virtual void setStyle(int32_t style);
    virtual void setFontStyle(int32_t style);
    virtual void setTextTransparent(bool flag);

    int32_t style() const { return style_; }
    FontId fontId() const { return fontId_; }
    Color textColor() const { return textColor_; }
    Color backColor() const { return backColor_; }
    Color frameColor() const { return frameColor_; }
    Color shadowColor() const { return shadowColor_; }
    int32_t alignment() const { return alignment_; }

  private:
    void formatValue(char* text) const;
    void drawBackground(DrawContext& context);
    void drawBevel(DrawContext& context) const;
    void drawCaption(DrawContext& context, const char* text) const;
    // Stores `value` and marks the control for redraw if it changed.
    template <typename T>
    void storeAndMark(T& field, const T& value);
    void storeColor(Color& field, Color value);

    ValueToText conversion_ = nullptr;
    ValueToTextWithData conversionWithData_ = nullptr;
    TextToValue textToValue_ = nullptr;
    void* userData_ = nullptr;
    int32_t alignment_ = 1;
    int32_t style_;
    FontId fontId_ = 3;
    int32_t fontStyle_ = 0;
    Color textColor_ = colors::White;
    Color backColor_ = colors::Black;
    Color frameColor_ = colors::Black;
    Color shadowColor_ = colors::Red;
    Point backOffset_;
    bool textTransparent_ = true;
};

}  // namespace tramvek
