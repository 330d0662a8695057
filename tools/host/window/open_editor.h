// A plug-in's editor opened the way a host opens it: effEditGetRect, a window
// of that size, effEditOpen with the window as parent; closed with effEditClose
// before the window goes.
#pragma once

#include <string>

#include "hosting/plugin_instance.h"
#include "window/editor_window.h"

namespace tramvek {

class OpenEditor {
  public:
    // Throws HostError when the plug-in declares no editor or no editor size.
    OpenEditor(PluginInstance& plugin, const std::string& title);
    ~OpenEditor();
    OpenEditor(const OpenEditor&) = delete;
    OpenEditor& operator=(const OpenEditor&) = delete;

    // Runs the window's messages for `milliseconds`, sending effEditIdle as it goes.
    void idle(int milliseconds);
    // effEditClose and a fresh effEditOpen in the same window, as hosts do when
    // the user hides and shows a plug-in's window.
    void close();
    void reopen();
    bool isOpen() const { return open_; }
    EditorWindow& window() { return window_; }

  private:
    OpenEditor(PluginInstance& plugin, const std::string& title, const ERect& size);

    PluginInstance& plugin_;
    EditorWindow window_;
    bool open_ = false;
};

}  // namespace tramvek
