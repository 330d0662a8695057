#pragma once

#include <array>
#include <optional>
#include <string>

namespace tramvek {

struct FontFile {
    std::string path;
    int index = 0;  // face within the file
};

// Regular, bold, italic, bold italic: the files fontconfig matches best for
// `family` in each style (another family when that one is not installed).
// Empty where fontconfig knows no font at all.
using FontFiles = std::array<std::optional<FontFile>, 4>;
FontFiles findFontFiles(const char* family);

}  // namespace tramvek
