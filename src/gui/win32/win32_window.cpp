#include "gui/win32/win32_window.h"

#include <ole2.h>
#include <windowsx.h>

#include "gui/win32/drop_target.h"
#include "gui/win32/gdi_surface.h"
#include "gui/win32/window_class.h"

namespace tramvek {

std::unique_ptr<Win32Window> Win32Window::create(HWND parent, int32_t width, int32_t height,
                                                 WindowClient& client) {
    if (!WindowClass::acquire(&Win32Window::procedure)) {
        return nullptr;
    }
    HWND window = CreateWindowExA(0, WindowClass::name().c_str(), "Window", WS_CHILD | WS_VISIBLE, 0, 0,
                                  width, height, parent, nullptr, WindowClass::module(), nullptr);
    if (window == nullptr) {
        WindowClass::release();
        return nullptr;
    }
    std::unique_ptr<Win32Window> made(new Win32Window(window, client));
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(made.get()));
    made->registerDropTarget();
    return made;
}

Win32Window::Win32Window(HWND window, WindowClient& client) : window_(window), client_(&client) {}

Win32Window::~Win32Window() {
    client_ = nullptr;
    if (window_ != nullptr) {
        revokeDropTarget();
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
    WindowClass::release();
}

void Win32Window::registerDropTarget() {
    dropTarget_ = new DropTarget(*client_, window_);
    if (RegisterDragDrop(window_, dropTarget_) != S_OK) {
        dropTarget_->detach();
        dropTarget_->Release();
        dropTarget_ = nullptr;
    }
}

void Win32Window::revokeDropTarget() {
    if (dropTarget_ != nullptr) {
        dropTarget_->detach();
        RevokeDragDrop(window_);
        dropTarget_->Release();
        dropTarget_ = nullptr;
    }
}

Point Win32Window::screenOrigin() const {
    RECT area{};
    GetWindowRect(window_, &area);
    return {area.left, area.top};
}

std::unique_ptr<Surface> Win32Window::acquireSurface() {
    HDC dc = window_ != nullptr ? GetDC(window_) : nullptr;
    if (dc == nullptr) {
        return nullptr;
    }
    HWND window = window_;
    return std::make_unique<GdiSurface>(dc, [window](HDC used) { ReleaseDC(window, used); });
}

LRESULT CALLBACK Win32Window::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return self->handle(window, message, wParam, lParam);
}

LRESULT Win32Window::handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            if (client_ == nullptr || !GetUpdateRect(window_, nullptr, FALSE)) {
                break;
            }
            paint();
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            press(wParam, lParam);
            return 0;
        case WM_MOUSEWHEEL:
            wheel(wParam, lParam);
            return 0;
        case WM_DESTROY:
            // Destroyed by the host together with its own window: the frame
            // stops drawing, and nothing is destroyed twice later.
            revokeDropTarget();
            if (client_ != nullptr) {
                client_->windowDestroyed();
            }
            break;
        case WM_NCDESTROY:
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            window_ = nullptr;
            break;
        default:
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void Win32Window::paint() {
    PAINTSTRUCT paintInfo;
    HDC dc = BeginPaint(window_, &paintInfo);
    {
        GdiSurface surface(dc, nullptr);
        const RECT& area = paintInfo.rcPaint;
        client_->paint(surface, {area.left, area.top, area.right, area.bottom});
    }
    EndPaint(window_, &paintInfo);
}

// The buttons come from the message, which names them as the user set them up
// (swapped or not) and holds them even when the button is up again by the
// time the control polls.
void Win32Window::press(WPARAM keys, LPARAM position) {
    if (client_ == nullptr) {
        return;
    }
    MouseButtons buttons = 0;
    buttons |= (keys & MK_LBUTTON) != 0 ? mouse::LeftButton : 0;
    buttons |= (keys & MK_MBUTTON) != 0 ? mouse::MiddleButton : 0;
    buttons |= (keys & MK_RBUTTON) != 0 ? mouse::RightButton : 0;
    buttons |= (keys & MK_SHIFT) != 0 ? mouse::ShiftKey : 0;
    buttons |= (keys & MK_CONTROL) != 0 ? mouse::ControlKey : 0;
    buttons |= (GetKeyState(VK_MENU) & 0x8000) != 0 ? mouse::AltKey : 0;
    client_->press({LOWORD(position), HIWORD(position)}, buttons);
}

// The wheel message carries the pointer in screen coordinates.
void Win32Window::wheel(WPARAM keysAndDelta, LPARAM position) {
    if (client_ == nullptr) {
        return;
    }
    POINT where{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    ScreenToClient(window_, &where);
    client_->wheelTurned({where.x, where.y},
                         static_cast<float>(GET_WHEEL_DELTA_WPARAM(keysAndDelta)) / WHEEL_DELTA);
}

}  // namespace tramvek
