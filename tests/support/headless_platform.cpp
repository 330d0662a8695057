#include "support/headless_platform.h"

#include <algorithm>

#include "bitmap_resources.h"

namespace tramvek {

HeadlessPlatform::HeadlessPlatform() : resourceSource_(&bitmapResourceBytes) {}

std::unique_ptr<PlatformWindow> HeadlessPlatform::createWindow(void* parent, int32_t width, int32_t height,
                                                               WindowClient& client) {
    if (parent == nullptr || !windowsAvailable_) {
        return nullptr;
    }
    return std::make_unique<HeadlessWindow>(*this, width, height, client);
}

std::unique_ptr<PlatformImage> HeadlessPlatform::loadBitmapResource(int32_t id) {
    if (resourceSource_ == nullptr) {
        return nullptr;
    }
    return imageFromBmp(resourceSource_(id));
}

MouseButtons HeadlessPlatform::pollMouseButtons() {
    return pointer_->pollButtons();
}

Point HeadlessPlatform::cursorScreenPosition() {
    return pointer_->position();
}

uint32_t HeadlessPlatform::tickCount() {
    return clock_ != nullptr ? clock_->tickCount() : RasterPlatform::tickCount();
}

void HeadlessPlatform::sleep(uint32_t milliseconds) {
    if (clock_ != nullptr) {
        clock_->sleep(milliseconds);
    } else {
        RasterPlatform::sleep(milliseconds);
    }
}

bool HeadlessPlatform::dispatchPendingPaint() {
    for (HeadlessWindow* window : windows_) {
        if (window->paintPendingArea()) {
            return true;
        }
    }
    return false;
}

void HeadlessPlatform::setPointerSource(PointerSource* source) {
    pointer_ = source != nullptr ? source : &scriptedInput_;
}

void HeadlessPlatform::setClock(Clock* clock) {
    clock_ = clock;
}

void HeadlessPlatform::windowGone(HeadlessWindow* window) {
    std::erase(windows_, window);
}

HeadlessPlatform& headlessPlatform() {
    static HeadlessPlatform instance;
    return instance;
}

}  // namespace tramvek
