// The editor: opened in a parent window and closed again many times, idled
// while open, and the same while the audio thread processes. Only plug-ins
// that declare an editor are asked.
#include "validate_background_audio.h"
#include "validate_checks.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace tramvek {
namespace {

constexpr int kLargestEditorSide = 8192;

void requireEditor(OpenPlugin& open) {
    if (!open.plugin().hasFlag(effFlagsHasEditor)) {
        skipCheck("the plug-in declares no editor");
    }
}

#ifdef _WIN32

// A top-level window for the editor to live in, destroyed with this object.
class ParentWindow {
  public:
    ParentWindow() {
        handle_ = CreateWindowExA(0, "STATIC", "tramvek-host validate", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~ParentWindow() {
        if (handle_ != nullptr) {
            DestroyWindow(handle_);
        }
    }
    ParentWindow(const ParentWindow&) = delete;
    ParentWindow& operator=(const ParentWindow&) = delete;
    HWND handle() const { return handle_; }

  private:
    HWND handle_ = nullptr;
};

void pumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void expectSaneRect(PluginInstance& plugin, const char* when) {
    ERect* rect = nullptr;
    plugin.dispatch(effEditGetRect, 0, 0, &rect);
    if (rect == nullptr) {
        return;  // allowed before the window exists
    }
    int width = rect->right - rect->left;
    int height = rect->bottom - rect->top;
    if (width <= 0 || height <= 0 || width > kLargestEditorSide || height > kLargestEditorSide) {
        failCheck(std::string("editor rectangle ") + when + " is " + std::to_string(width) + " by " +
                  std::to_string(height));
    }
}

int openCloseCycles(OpenPlugin& open, int cycles) {
    ParentWindow parent;
    if (parent.handle() == nullptr) {
        skipCheck("no parent window could be made (no display)");
    }
    PluginInstance& plugin = open.plugin();
    expectSaneRect(plugin, "before opening");
    for (int i = 0; i < cycles; ++i) {
        plugin.dispatch(effEditOpen, 0, 0, parent.handle());
        expectSaneRect(plugin, "while open");
        for (int idle = 0; idle < 3; ++idle) {
            plugin.dispatch(effEditIdle);
            pumpMessages();
        }
        plugin.dispatch(effEditClose);
        pumpMessages();
    }
    return cycles;
}

#else

int openCloseCycles(OpenPlugin&, int) {
    skipCheck("opening an editor on Linux needs an X11 parent window, which this host does not make yet");
}

#endif

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
