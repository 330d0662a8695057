// The editor's fonts come from fontconfig: the best match for each style, and
// nothing (rather than a failure) where fontconfig knows no font at all.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdlib>
#include <fstream>
#include <string>

#include "gui/raster/font_lookup.h"

namespace tramvek {
namespace {

TEST(FontLookup, FindsEachStyleOfTheFamily) {
    FT_Library library = nullptr;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    const FontFiles files = findFontFiles("Liberation Sans");
    for (size_t style = 0; style < files.size(); ++style) {
        ASSERT_TRUE(files[style].has_value()) << "style " << style;
        FT_Face face = nullptr;
        ASSERT_EQ(FT_New_Face(library, files[style]->path.c_str(), files[style]->index, &face), 0);
        EXPECT_STREQ(face->family_name, "Liberation Sans") << files[style]->path;
        EXPECT_EQ((face->style_flags & FT_STYLE_FLAG_BOLD) != 0, (style & 1u) != 0) << files[style]->path;
        EXPECT_EQ((face->style_flags & FT_STYLE_FLAG_ITALIC) != 0, (style & 2u) != 0) << files[style]->path;
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
}

TEST(FontLookup, FindsNothingWhereNoFontIsInstalled) {
    const std::string config = ::testing::TempDir() + "tramvek-no-fonts.conf";
    std::ofstream(config) << "<?xml version=\"1.0\"?>\n<fontconfig></fontconfig>\n";
    const char* previous = std::getenv("FONTCONFIG_FILE");
    const std::string saved = previous != nullptr ? previous : "";
    setenv("FONTCONFIG_FILE", config.c_str(), 1);
    const FontFiles files = findFontFiles("Liberation Sans");
    previous != nullptr ? setenv("FONTCONFIG_FILE", saved.c_str(), 1) : unsetenv("FONTCONFIG_FILE");
    for (const auto& file : files) {
        EXPECT_FALSE(file.has_value()) << file->path;
    }
}

}  // namespace
}  // namespace tramvek
