#pragma once

#include <windows.h>

#include "gui/platform.h"

namespace tramvek {

// A GDI bitmap (colour or monochrome), deleted with the object.
class GdiImage : public PlatformImage {
  public:
    GdiImage(HBITMAP handle, int32_t width, int32_t height)
        : handle_(handle), width_(width), height_(height) {}
    ~GdiImage() override { DeleteObject(handle_); }
    GdiImage(const GdiImage&) = delete;
    GdiImage& operator=(const GdiImage&) = delete;

    int32_t width() const override { return width_; }
    int32_t height() const override { return height_; }
    HBITMAP handle() const { return handle_; }

  private:
    HBITMAP handle_;
    int32_t width_;
    int32_t height_;
};

}  // namespace tramvek
