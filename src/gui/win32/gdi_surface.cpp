#include "gui/win32/gdi_surface.h"

#include "gui/win32/gdi_image.h"
#include "gui/win32/memory_dc.h"

namespace tramvek {

namespace {

// Destination AND NOT source: clears the image where the mask marks transparency.
constexpr DWORD kAndNotSource = 0x00220326;

COLORREF colorRef(Color color) {
    return RGB(color.red, color.green, color.blue);
}

UINT alignmentFlag(TextAlignment alignment) {
    switch (alignment) {
        case TextAlignment::Center:
            return DT_CENTER;
        case TextAlignment::Right:
            return DT_RIGHT;
        case TextAlignment::Left:
            break;
    }
    return DT_LEFT;
}

LOGFONTA logicalFont(const FontRequest& font) {
    LOGFONTA request{};
    request.lfHeight = -font.height;
    request.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    request.lfItalic = font.italic ? TRUE : FALSE;
    request.lfUnderline = font.underline ? TRUE : FALSE;
    request.lfCharSet = ANSI_CHARSET;
    request.lfOutPrecision = OUT_DEFAULT_PRECIS;
    request.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    request.lfQuality = DEFAULT_QUALITY;
    request.lfPitchAndFamily =
        font.decorative ? (DEFAULT_PITCH | FF_DECORATIVE) : (VARIABLE_PITCH | FF_SWISS);
    lstrcpynA(request.lfFaceName, font.face, LF_FACESIZE);
    return request;
}

// Monochrome sources turn into white where set and black where clear.
void blitMask(HDC target, int width, int height, HDC mask, Point from, DWORD operation) {
    const COLORREF background = SetBkColor(target, RGB(255, 255, 255));
    const COLORREF text = SetTextColor(target, RGB(0, 0, 0));
    BitBlt(target, 0, 0, width, height, mask, from.x, from.y, operation);
    SetBkColor(target, background);
    SetTextColor(target, text);
}

}  // namespace

GdiSurface::GdiSurface(HDC dc, std::function<void(HDC)> releaseDc)
    : dc_(dc),
      releaseDc_(std::move(releaseDc)),
      originalPen_(GetCurrentObject(dc, OBJ_PEN)),
      originalBrush_(GetCurrentObject(dc, OBJ_BRUSH)),
      originalFont_(GetCurrentObject(dc, OBJ_FONT)) {
    SetBkMode(dc_, TRANSPARENT);
}

GdiSurface::~GdiSurface() {
    SelectObject(dc_, originalPen_);
    SelectObject(dc_, originalBrush_);
    SelectObject(dc_, originalFont_);
    for (HGDIOBJ object : {pen_, brush_, font_}) {
        if (object != nullptr) {
            DeleteObject(object);
        }
    }
    if (releaseDc_) {
        releaseDc_(dc_);
    }
}

void GdiSurface::replace(HGDIOBJ& owned, HGDIOBJ object) {
    SelectObject(dc_, object);
    if (owned != nullptr) {
        DeleteObject(owned);
    }
    owned = object;
}

void GdiSurface::setPen(Color color, PenStyle style) {
    LOGPEN pen{static_cast<UINT>(style == PenStyle::Dotted ? PS_DOT : PS_SOLID), {1, 0}, colorRef(color)};
    if (HPEN made = CreatePenIndirect(&pen)) {
        replace(pen_, made);
    }
}

bool GdiSurface::setFill(Color color) {
    SetBkColor(dc_, colorRef(color));
    LOGBRUSH brush{BS_SOLID, colorRef(color), 0};
    HBRUSH made = CreateBrushIndirect(&brush);
    if (made == nullptr) {
        return false;
    }
    replace(brush_, made);
    return true;
}

void GdiSurface::setTextColor(Color color) {
    SetTextColor(dc_, colorRef(color));
}

void GdiSurface::selectFont(const FontRequest& font) {
    const LOGFONTA request = logicalFont(font);
    if (HFONT made = CreateFontIndirectA(&request)) {
        replace(font_, made);
    }
}

void GdiSurface::moveTo(Point p) {
    MoveToEx(dc_, p.x, p.y, nullptr);
}

void GdiSurface::lineTo(Point p) {
    LineTo(dc_, p.x, p.y);
}

// GDI would fill an inverted rectangle as if it were the right way round.
void GdiSurface::fillRect(const Rect& r) {
    if (r.right <= r.left || r.bottom <= r.top) {
        return;
    }
    const RECT area{r.left, r.top, r.right, r.bottom};
    FillRect(dc_, &area, static_cast<HBRUSH>(GetCurrentObject(dc_, OBJ_BRUSH)));
}

void GdiSurface::drawText(std::string_view text, const Rect& r, TextAlignment alignment, bool opaque) {
    RECT area{r.left, r.top, r.right, r.bottom};
    SetBkMode(dc_, opaque ? OPAQUE : TRANSPARENT);
    DrawTextA(dc_, text.data(), static_cast<int>(text.size()), &area,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | alignmentFlag(alignment));
    SetBkMode(dc_, TRANSPARENT);
}

void GdiSurface::blockCopy(Point to, int32_t width, int32_t height, Surface& source, Point from) {
    if (HDC sourceDc = deviceContextOf(&source)) {
        BitBlt(dc_, to.x, to.y, width, height, sourceDc, from.x, from.y, SRCCOPY);
    }
}

void GdiSurface::drawImage(Point to, int32_t width, int32_t height, const PlatformImage& image, Point from) {
    const MemoryDc source(dc_, static_cast<const GdiImage&>(image).handle());
    BitBlt(dc_, to.x, to.y, width, height, source.get(), from.x, from.y, SRCCOPY);
}

// The opaque part of the image and the transparent part of the destination are
// combined off screen and copied in one transfer; the image itself is not touched.
void GdiSurface::drawImageTransparent(Point to, int32_t width, int32_t height, PlatformImage& image,
                                      Point from, const PlatformImage& mask) {
    const MemoryDc imageDc(dc_, static_cast<const GdiImage&>(image).handle());
    const MemoryDc maskDc(dc_, static_cast<const GdiImage&>(mask).handle());

    const ScratchBitmap opaqueBitmap(dc_, width, height);
    const MemoryDc opaquePart(dc_, opaqueBitmap.get());
    BitBlt(opaquePart.get(), 0, 0, width, height, imageDc.get(), from.x, from.y, SRCCOPY);
    blitMask(opaquePart.get(), width, height, maskDc.get(), from, kAndNotSource);

    const ScratchBitmap resultBitmap(dc_, width, height);
    const MemoryDc result(dc_, resultBitmap.get());
    BitBlt(result.get(), 0, 0, width, height, dc_, to.x, to.y, SRCCOPY);
    blitMask(result.get(), width, height, maskDc.get(), from, SRCAND);
    BitBlt(result.get(), 0, 0, width, height, opaquePart.get(), 0, 0, SRCPAINT);

    BitBlt(dc_, to.x, to.y, width, height, result.get(), 0, 0, SRCCOPY);
}

HDC deviceContextOf(Surface* surface) {
    auto* gdi = dynamic_cast<GdiSurface*>(surface);
    return gdi != nullptr ? gdi->dc() : nullptr;
}

}  // namespace tramvek
