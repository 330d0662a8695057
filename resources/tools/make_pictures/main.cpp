// Draws the editor's two pictures from code and the manual text, and writes
// them as the 8-bit bitmap files the builds embed:
//   make_pictures <font dir> <manual text> <output dir>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "indexed_bmp.h"
#include "pictures.h"

namespace {

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeBitmap(const std::string& path, const tramvek::pictures::Canvas& canvas) {
    const auto bytes = tramvek::pictures::encodeIndexedBmp(canvas);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: make_pictures <font dir> <manual text> <output dir>\n";
        return 2;
    }
    try {
        const std::string fontDir = argv[1];
        const tramvek::pictures::FontFiles fonts{fontDir + "/LiberationSans-Regular.ttf",
                                                 fontDir + "/LiberationSans-Bold.ttf"};
        const std::string outDir = argv[3];
        writeBitmap(outDir + "/background.bmp", tramvek::pictures::drawBackground(fonts));
        writeBitmap(outDir + "/help.bmp", tramvek::pictures::drawHelpScreen(fonts, readText(argv[2])));
    } catch (const std::exception& e) {
        std::cerr << "make_pictures: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
