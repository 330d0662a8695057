#pragma once

#include <windows.h>

namespace tramvek {

// A memory device context with a bitmap selected for the lifetime of the object.
class MemoryDc {
  public:
    MemoryDc(HDC compatibleWith, HBITMAP bitmap)
        : dc_(CreateCompatibleDC(compatibleWith)), previous_(SelectObject(dc_, bitmap)) {}
    ~MemoryDc() {
        SelectObject(dc_, previous_);
        DeleteDC(dc_);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;

    HDC get() const { return dc_; }

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A bitmap compatible with a device context, deleted with the object.
class ScratchBitmap {
  public:
    ScratchBitmap(HDC compatibleWith, int width, int height)
        : bitmap_(CreateCompatibleBitmap(compatibleWith, width, height)) {}
    ~ScratchBitmap() { DeleteObject(bitmap_); }
    ScratchBitmap(const ScratchBitmap&) = delete;
    ScratchBitmap& operator=(const ScratchBitmap&) = delete;

    HBITMAP get() const { return bitmap_; }

  private:
    HBITMAP bitmap_;
};

}  // namespace tramvek
