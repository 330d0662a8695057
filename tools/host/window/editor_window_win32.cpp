#include "window/editor_window.h"

#include <windows.h>

#include "host_error.h"

namespace tramvek {
namespace {

constexpr const char* kWindowClass = "TramvekHostEditorWindow";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr int kIdleIntervalMs = 20;

void registerWindowClass() {
    static bool registered = false;
    if (registered) {
        return;
    }
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    if (RegisterClassA(&windowClass) == 0) {
        throw HostError("cannot register the editor window class");
    }
    registered = true;
}

HWND windowOf(void* handle) {
    return static_cast<HWND>(handle);
}

void dispatchPendingMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

}  // namespace

EditorWindow::EditorWindow(int width, int height, const std::string& title) : width_(width), height_(height) {
    registerWindowClass();
    RECT frame{0, 0, width, height};
    AdjustWindowRect(&frame, kWindowStyle, FALSE);
    HWND window =
        CreateWindowExA(0, kWindowClass, title.c_str(), kWindowStyle, 0, 0, frame.right - frame.left,
                        frame.bottom - frame.top, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window == nullptr) {
        throw HostError("cannot create a window for the editor (is there a display?)");
    }
    handle_ = window;
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
}

EditorWindow::~EditorWindow() {
    DestroyWindow(windowOf(handle_));
    dispatchPendingMessages();
}

void EditorWindow::resize(int width, int height) {
    RECT frame{0, 0, width, height};
    AdjustWindowRect(&frame, kWindowStyle, FALSE);
    SetWindowPos(windowOf(handle_), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    width_ = width;
    height_ = height;
}

void EditorWindow::run(int milliseconds, const std::function<void()>& idle) {
    const DWORD start = GetTickCount();
    do {
        dispatchPendingMessages();
        idle();
        Sleep(kIdleIntervalMs);
    } while (static_cast<int>(GetTickCount() - start) < milliseconds);
    dispatchPendingMessages();
}

RgbImage EditorWindow::capture() const {
    RgbImage image(width_, height_);
    HWND window = windowOf(handle_);
    HDC windowDc = GetDC(window);
    HDC memoryDc = CreateCompatibleDC(windowDc);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (section != nullptr && memoryDc != nullptr) {
        HGDIOBJ previous = SelectObject(memoryDc, section);
        BitBlt(memoryDc, 0, 0, width_, height_, windowDc, 0, 0, SRCCOPY);
        GdiFlush();
        const auto* pixels = static_cast<const std::uint8_t*>(bits);
        for (std::size_t i = 0; i < static_cast<std::size_t>(width_) * height_; ++i) {
            image.rgb[i * 3] = pixels[i * 4 + 2];
            image.rgb[i * 3 + 1] = pixels[i * 4 + 1];
            image.rgb[i * 3 + 2] = pixels[i * 4];
        }
        SelectObject(memoryDc, previous);
    }
    if (section != nullptr) {
        DeleteObject(section);
    }
    if (memoryDc != nullptr) {
        DeleteDC(memoryDc);
    }
    ReleaseDC(window, windowDc);
    if (section == nullptr || memoryDc == nullptr) {
        throw HostError("cannot capture the editor window");
    }
    return image;
}

void EditorWindow::clientOrigin(int& x, int& y) const {
    POINT origin{0, 0};
    ClientToScreen(windowOf(handle_), &origin);
    x = origin.x;
    y = origin.y;
}

unsigned long EditorWindow::gdiObjectCount() {
    const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (counted != 0) {
        return counted;
    }
    // Wine answers 0 here. Its handles are table indexes in the low word, and
    // a handle with an empty high word names whatever object lives at that
    // index, so the live objects can be counted by asking each index.
    unsigned long live = 0;
    for (std::uintptr_t index = 1; index <= 0xFFFF; ++index) {
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) {
            ++live;
        }
    }
    return live;
}

}  // namespace tramvek
