#include "window/editor_session.h"

#include <cstdio>
#include <istream>
#include <ostream>
#include <sstream>

#include "formats/file_io.h"
#include "host_error.h"
#include "window/open_editor.h"

namespace tramvek {
namespace {

constexpr float kSampleRate = 44100.0f;
constexpr int kBlockSize = 512;
constexpr int kMaxIdleMilliseconds = 60000;

// One command; the reply line, or HostError for a malformed one.
std::string perform(const std::string& line, PluginInstance& plugin, OpenEditor& editor) {
    std::istringstream words(line);
    std::string command;
    words >> command;
    if (command == "origin") {
        int x = 0;
        int y = 0;
        editor.window().clientOrigin(x, y);
        return std::to_string(x) + " " + std::to_string(y);
    }
    if (command == "idle") {
        int milliseconds = -1;
        if (!(words >> milliseconds) || milliseconds < 0 || milliseconds > kMaxIdleMilliseconds) {
            throw HostError("idle takes milliseconds, 0 to 60000");
        }
        editor.idle(milliseconds);
        return "ok";
    }
    if (command == "snapshot") {
        std::string path;
        if (!(words >> path)) {
            throw HostError("snapshot takes a file name");
        }
        writeWholeFile(path, encodePng(editor.window().capture()));
        return "ok";
    }
    if (command == "pixel") {
        int x = -1;
        int y = -1;
        const RgbImage image = editor.window().capture();
        if (!(words >> x >> y) || x < 0 || y < 0 || x >= image.width || y >= image.height) {
            throw HostError("pixel takes a point inside the window");
        }
        const std::size_t at = (static_cast<std::size_t>(y) * image.width + x) * 3;
        return std::to_string(image.rgb[at]) + " " + std::to_string(image.rgb[at + 1]) + " " +
               std::to_string(image.rgb[at + 2]);
    }
    if (command == "param") {
        int index = -1;
        if (!(words >> index) || index < 0 || index >= plugin.effect().numParams) {
            throw HostError("param takes a parameter index");
        }
        char text[32];
        std::snprintf(text, sizeof text, "%.6f", plugin.effect().getParameter(&plugin.effect(), index));
        return text;
    }
    if (command == "close") {
        editor.close();
        return "ok";
    }
    if (command == "open") {
        editor.reopen();
        return "ok";
    }
    if (command == "gdi") {
        return std::to_string(EditorWindow::gdiObjectCount());
    }
    throw HostError("unknown command '" + command + "'");
}

}  // namespace

void runEditorSession(const EditorSessionOptions& options, std::istream& commands, std::ostream& replies) {
    HostContext host;
    host.sampleRate = kSampleRate;
    host.blockSize = kBlockSize;
    PluginInstance plugin(options.plugin, host);
    plugin.dispatch(effOpen);
    plugin.dispatch(effSetSampleRate, 0, 0, nullptr, kSampleRate);
    plugin.dispatch(effSetBlockSize, 0, kBlockSize);
    plugin.resume();
    OpenEditor editor(plugin, "tramvek-host editor session");
    editor.idle(0);
    replies << "ready" << std::endl;

    std::string line;
    while (std::getline(commands, line)) {
        if (line.empty()) {
            continue;
        }
        if (line == "quit") {
            break;
        }
        try {
            replies << perform(line, plugin, editor) << std::endl;
        } catch (const HostError& e) {
            replies << "error: " << e.what() << std::endl;
        }
    }
    replies << "bye" << std::endl;
}

}  // namespace tramvek
