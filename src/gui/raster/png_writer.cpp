#include "gui/raster/png_writer.h"

#include <png.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace tramvek {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

std::vector<png_byte> rgbBytes(const PixelBuffer& pixels) {
    std::vector<png_byte> bytes;
    bytes.reserve(static_cast<size_t>(pixels.width()) * pixels.height() * 3);
    for (int32_t y = 0; y < pixels.height(); ++y) {
        for (int32_t x = 0; x < pixels.width(); ++x) {
            const uint32_t value = pixels.at(x, y);
            bytes.push_back(static_cast<png_byte>(value));
            bytes.push_back(static_cast<png_byte>(value >> 8u));
            bytes.push_back(static_cast<png_byte>(value >> 16u));
        }
    }
    return bytes;
}

}  // namespace

bool writePng(const PixelBuffer& pixels, const std::string& path) {
    if (pixels.width() <= 0 || pixels.height() <= 0) {
        return false;
    }
    // Everything with a destructor exists before setjmp: a libpng error jumps back.
    std::vector<png_byte> bytes = rgbBytes(pixels);
    const size_t rowBytes = static_cast<size_t>(pixels.width()) * 3;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, static_cast<png_uint_32>(pixels.width()),
                 static_cast<png_uint_32>(pixels.height()), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int32_t y = 0; y < pixels.height(); ++y) {
        png_write_row(png, bytes.data() + rowBytes * y);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace tramvek
