#include "gui/win32/win32_platform.h"

#include <ole2.h>
#include <windows.h>

#include "gui/win32/gdi_image.h"
#include "gui/win32/gdi_surface.h"
#include "gui/win32/memory_dc.h"
#include "gui/win32/win32_window.h"
#include "gui/win32/window_class.h"

namespace tramvek {

namespace {

bool isDown(int virtualKey) {
    return (GetAsyncKeyState(virtualKey) & 0x8000) != 0;
}

// The screen's device context for the duration of a call.
class ScreenDc {
  public:
    ScreenDc() : dc_(GetDC(nullptr)) {}
    ~ScreenDc() { ReleaseDC(nullptr, dc_); }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC get() const { return dc_; }

  private:
    HDC dc_;
};

}  // namespace

std::unique_ptr<PlatformWindow> Win32Platform::createWindow(void* parent, int32_t width, int32_t height,
                                                            WindowClient& client) {
    if (parent == nullptr) {
        return nullptr;
    }
    return Win32Window::create(static_cast<HWND>(parent), width, height, client);
}

std::unique_ptr<PlatformImage> Win32Platform::loadBitmapResource(int32_t id) {
    HBITMAP bitmap = LoadBitmapA(WindowClass::module(), MAKEINTRESOURCEA(id));
    if (bitmap == nullptr) {
        return nullptr;
    }
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    return std::make_unique<GdiImage>(bitmap, info.bmWidth, info.bmHeight);
}

std::unique_ptr<PlatformImage> Win32Platform::createImage(int32_t width, int32_t height, Surface* like) {
    HDC likeDc = deviceContextOf(like);
    const ScreenDc screen;
    HBITMAP bitmap = CreateCompatibleBitmap(likeDc != nullptr ? likeDc : screen.get(), width, height);
    if (bitmap == nullptr) {
        return nullptr;
    }
    return std::make_unique<GdiImage>(bitmap, width, height);
}

std::unique_ptr<Surface> Win32Platform::createImageSurface(PlatformImage& image, Surface* like) {
    HDC dc = CreateCompatibleDC(deviceContextOf(like));
    if (dc == nullptr) {
        return nullptr;
    }
    HGDIOBJ previous = SelectObject(dc, static_cast<GdiImage&>(image).handle());
    return std::make_unique<GdiSurface>(dc, [previous](HDC used) {
        SelectObject(used, previous);
        DeleteDC(used);
    });
}

// Colour-to-monochrome copies set the pixels that equal the source's background colour.
std::unique_ptr<PlatformImage> Win32Platform::createMask(const PlatformImage& image, Color transparent) {
    const int32_t width = image.width();
    const int32_t height = image.height();
    HBITMAP mask = CreateBitmap(width, height, 1, 1, nullptr);
    if (mask == nullptr) {
        return nullptr;
    }
    {
        const MemoryDc source(nullptr, static_cast<const GdiImage&>(image).handle());
        const MemoryDc target(nullptr, mask);
        SetBkColor(source.get(), RGB(transparent.red, transparent.green, transparent.blue));
        BitBlt(target.get(), 0, 0, width, height, source.get(), 0, 0, SRCCOPY);
    }
    return std::make_unique<GdiImage>(mask, width, height);
}

// The key state names the physical buttons; a user who swapped them for the
// other hand means the logical ones.
MouseButtons Win32Platform::pollMouseButtons() {
    const bool swapped = GetSystemMetrics(SM_SWAPBUTTON) != 0;
    MouseButtons buttons = 0;
    const std::pair<int, MouseButtons> keys[] = {
        {VK_LBUTTON, swapped ? mouse::RightButton : mouse::LeftButton},
        {VK_MBUTTON, mouse::MiddleButton},
        {VK_RBUTTON, swapped ? mouse::LeftButton : mouse::RightButton},
        {VK_SHIFT, mouse::ShiftKey},
        {VK_CONTROL, mouse::ControlKey},
        {VK_MENU, mouse::AltKey}};
    for (const auto& [key, bit] : keys) {
        if (isDown(key)) {
            buttons |= bit;
        }
    }
    return buttons;
}

Point Win32Platform::cursorScreenPosition() {
    POINT where{};
    GetCursorPos(&where);
    return {where.x, where.y};
}

uint32_t Win32Platform::tickCount() {
    return GetTickCount();
}

void Win32Platform::sleep(uint32_t milliseconds) {
    Sleep(milliseconds);
}

bool Win32Platform::dispatchPendingPaint() {
    MSG message;
    if (!PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
        return false;
    }
    DispatchMessageA(&message);
    return true;
}

void Win32Platform::startDropServices() {
    if (SUCCEEDED(OleInitialize(nullptr))) {
        ++dropServiceStarts_;
    }
}

void Win32Platform::stopDropServices() {
    if (dropServiceStarts_ > 0) {
        --dropServiceStarts_;
        OleUninitialize();
    }
}

}  // namespace tramvek
