// The editor: opened in a parent window and closed again many times, idled
// while open, and the same while the audio thread processes. Only plug-ins
// that declare an editor are asked.
#include <memory>

#include "validation/validate_background_audio.h"
#include "validation/validate_checks.h"

#include "host_error.h"
#include "window/open_editor.h"

namespace tramvek {
namespace {

constexpr int kLargestEditorSide = 8192;
constexpr int kIdleMilliseconds = 60;

void requireEditor(OpenPlugin& open) {
    if (!open.plugin().hasFlag(effFlagsHasEditor)) {
        skipCheck("the plug-in declares no editor");
    }
}

ERect editorRect(PluginInstance& plugin, const char* when) {
    ERect* rect = nullptr;
    plugin.dispatch(effEditGetRect, 0, 0, &rect);
    if (rect == nullptr) {
        failCheck(std::string("effEditGetRect gives no rectangle ") + when);
    }
    int width = rect->right - rect->left;
    int height = rect->bottom - rect->top;
    if (width <= 0 || height <= 0 || width > kLargestEditorSide || height > kLargestEditorSide) {
        failCheck(std::string("editor rectangle ") + when + " is " + std::to_string(width) + " by " +
                  std::to_string(height));
    }
    return *rect;
}

int openCloseCycles(OpenPlugin& open, int cycles) {
    PluginInstance& plugin = open.plugin();
    ERect before = editorRect(plugin, "before opening");
    std::unique_ptr<OpenEditor> editor;
    try {
        editor = std::make_unique<OpenEditor>(plugin, "tramvek-host validate");
    } catch (const HostError& e) {
        skipCheck(std::string("no window for the editor: ") + e.what());
    }
    for (int i = 0; i < cycles; ++i) {
        editor->idle(kIdleMilliseconds);
        ERect now = editorRect(plugin, "while open");
        if (now.right - now.left != before.right - before.left ||
            now.bottom - now.top != before.bottom - before.top) {
            failCheck("the editor changed its size between effEditGetRect calls");
        }
        editor->reopen();
    }
    editor.reset();
    return cycles;
}

std::string openClose(const ValidationContext& context) {
    std::unique_ptr<OpenPlugin> open = openPlugin(context);
    requireEditor(*open);
    int cycles = openCloseCycles(*open, context.scaled(20));
    return std::to_string(cycles) + " open, idle, close cycles";
}

std::string openCloseWhileProcessing(const ValidationContext& context) {
    std::unique_ptr<OpenPlugin> open = openPlugin(context);
    requireEditor(*open);
    BackgroundAudio audio(*open, 31);
    int cycles = openCloseCycles(*open, context.scaled(20));
    audio.stopAndCheck();
    return std::to_string(cycles) + " cycles during " + std::to_string(audio.blocks()) + " audio blocks";
}

}  // namespace

void runEditorChecks(ValidationRunner& runner, const ValidationContext& context) {
    runner.run("editor/open-close", [&] { return openClose(context); });
    runner.run("editor/while-processing", [&] { return openCloseWhileProcessing(context); });
}

}  // namespace tramvek
