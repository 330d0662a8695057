// Without any font the Linux editor still opens, draws everything but text,
// and says once on standard error what is missing.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace tramvek {
namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

int countOf(const std::string& text, const std::string& part) {
    int count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

TEST(LinuxEditorSnapshot, OpensWithoutAnyFontAndSaysSoOnce) {
    const std::string dir = ::testing::TempDir();
    const std::string config = dir + "tramvek-no-fonts.conf";
    std::ofstream(config) << "<?xml version=\"1.0\"?>\n<fontconfig></fontconfig>\n";
    const std::string picture = dir + "tramvek-no-fonts.png";
    const std::string errors = dir + "tramvek-no-fonts.txt";
    std::remove(picture.c_str());
    const std::string command = "FONTCONFIG_FILE=" + config + " " + TRAMVEK_HOST_PATH + " snapshot " +
                                TRAMVEK_PLUGIN_PATH + " -o " + picture + " --render-first 1 2>" + errors;
    ASSERT_EQ(std::system(command.c_str()), 0) << command << "\n" << readFile(errors);
    EXPECT_FALSE(readFile(picture).empty());
    EXPECT_EQ(countOf(readFile(errors), "no font for the editor's text"), 1) << readFile(errors);
}

}  // namespace
}  // namespace tramvek
