#include "win32_test_support.h"

#include <cstring>
#include <sstream>

#include "gui/win32/gdi_surface.h"
#include "host/module_instance.h"

namespace tramvek::test {

namespace {

// The program's own module stands in for the plug-in's (which DllMain would store).
class ModuleEnvironment : public ::testing::Environment {
  public:
    void SetUp() override { setModuleInstance(GetModuleHandleA(nullptr)); }
};

[[maybe_unused]] const auto* const moduleEnvironment =
    ::testing::AddGlobalTestEnvironment(new ModuleEnvironment);

const char* parentClassName() {
    static const char* const name = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
        windowClass.lpszClassName = "TramvekTestParent";
        RegisterClassA(&windowClass);
        return "TramvekTestParent";
    }();
    return name;
}

bool inside(const std::vector<Rect>& areas, int32_t x, int32_t y) {
    for (const Rect& area : areas) {
        if (area.contains({x, y})) {
            return true;
        }
    }
    return false;
}

}  // namespace

GdiCanvas::GdiCanvas(int32_t width, int32_t height, std::optional<Color> background)
    : image(platform().createImage(width, height, nullptr)),
      surface(platform().createImageSurface(*image, nullptr)),
      context(nullptr, surface.get(), nullptr) {
    if (background) {
        context.setFillColor(*background);
        context.fillInside({-1, -1, width, height});
    }
}

PixelBuffer GdiCanvas::pixels() const {
    return capture(deviceContextOf(surface.get()), 0, 0, image->width(), image->height());
}

HDC dcOf(Surface& surface) {
    return deviceContextOf(&surface);
}

PixelBuffer capture(HDC source, int32_t x, int32_t y, int32_t width, int32_t height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(source);
    HGDIOBJ previous = SelectObject(memory, section);
    BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
    GdiFlush();
    PixelBuffer pixels(width, height);
    const auto* bgra = static_cast<const uint8_t*>(bits);
    for (int32_t row = 0; row < height; ++row) {
        for (int32_t column = 0; column < width; ++column) {
            const uint8_t* pixel = bgra + 4 * (static_cast<size_t>(row) * width + column);
            pixels.at(column, row) = packRgb(pixel[2], pixel[1], pixel[0]);
        }
    }
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(section);
    return pixels;
}

std::string differences(const PixelBuffer& actual, const PixelBuffer& expected,
                        const std::vector<Rect>& ignored) {
    if (actual.width() != expected.width() || actual.height() != expected.height()) {
        return "sizes differ";
    }
    std::ostringstream report;
    int count = 0;
    for (int32_t y = 0; y < actual.height(); ++y) {
        for (int32_t x = 0; x < actual.width(); ++x) {
            if (actual.at(x, y) == expected.at(x, y) || inside(ignored, x, y)) {
                continue;
            }
            if (++count <= 8) {
                report << " (" << x << "," << y << ") " << std::hex << actual.at(x, y) << " instead of "
                       << expected.at(x, y) << std::dec;
            }
        }
    }
    if (count == 0) {
        return {};
    }
    return std::to_string(count) + " pixels differ:" + report.str();
}

std::optional<Rect> inkBox(const PixelBuffer& pixels, uint32_t background) {
    std::optional<Rect> box;
    for (int32_t y = 0; y < pixels.height(); ++y) {
        for (int32_t x = 0; x < pixels.width(); ++x) {
            if (pixels.at(x, y) == background) {
                continue;
            }
            if (!box) {
                box = Rect{x, y, x, y};
            }
            box->left = std::min(box->left, x);
            box->right = std::max(box->right, x);
            box->top = std::min(box->top, y);
            box->bottom = std::max(box->bottom, y);
        }
    }
    return box;
}

std::vector<uint8_t> resourceBitmapFile(int id) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2));  // RT_BITMAP
    if (found == nullptr) {
        return {};
    }
    const auto* dib = static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
    const DWORD size = SizeofResource(module, found);
    BITMAPINFOHEADER header;
    std::memcpy(&header, dib, sizeof header);
    const uint32_t colours =
        header.biClrUsed != 0 ? header.biClrUsed : (header.biBitCount <= 8 ? 1u << header.biBitCount : 0);
    const uint32_t pixelOffset = 14 + header.biSize + 4 * colours;
    std::vector<uint8_t> file{'B', 'M'};
    for (uint32_t value : {14 + static_cast<uint32_t>(size), 0u, pixelOffset}) {
        for (int shift = 0; shift < 32; shift += 8) {
            file.push_back(static_cast<uint8_t>(value >> shift));
        }
    }
    file.insert(file.end(), dib, dib + size);
    return file;
}

bool displayAvailable() {
    static const bool available = ParentWindow({0, 0}, 10, 10).handle() != nullptr;
    return available;
}

ParentWindow::ParentWindow(Point origin, int32_t width, int32_t height)
    : window_(CreateWindowExA(WS_EX_TOPMOST, parentClassName(), "tramvek test",
                              WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, origin.x, origin.y, width, height,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr)) {}

ParentWindow::~ParentWindow() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
}

void pumpMessages(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(5);
    } while (GetTickCount() - start < milliseconds);
}

void PressRecorder::trackMouse(DrawContext& context, Point& where) {
    presses.push_back(where);
    buttonsAtPress = context.pollMouseButtons();
    context.pollMousePosition(polledAtPress);
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 2000) {
        const MouseButtons buttons = context.pollMouseButtons();
        allButtonsSeen |= buttons;
        if (buttons == 0) {
            sawRelease = true;
            return;
        }
        context.pollMousePosition(where);
        Sleep(5);
    }
}

}  // namespace tramvek::test
