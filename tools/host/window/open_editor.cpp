#include "window/open_editor.h"

#include "host_error.h"

namespace tramvek {
namespace {

ERect editorSize(PluginInstance& plugin) {
    if (!plugin.hasFlag(effFlagsHasEditor)) {
        throw HostError("plug-in has no editor");
    }
    ERect* rect = nullptr;
    plugin.dispatch(effEditGetRect, 0, 0, &rect);
    if (rect == nullptr || rect->right <= rect->left || rect->bottom <= rect->top) {
        throw HostError("the plug-in's editor gives no size");
    }
    return *rect;
}

int widthOf(const ERect& rect) {
    return rect.right - rect.left;
}

int heightOf(const ERect& rect) {
    return rect.bottom - rect.top;
}

}  // namespace

OpenEditor::OpenEditor(PluginInstance& plugin, const std::string& title)
    : OpenEditor(plugin, title, editorSize(plugin)) {}

OpenEditor::OpenEditor(PluginInstance& plugin, const std::string& title, const ERect& size)
    : plugin_(plugin), window_(widthOf(size), heightOf(size), title) {
    reopen();
}

OpenEditor::~OpenEditor() {
    close();
}

void OpenEditor::close() {
    if (open_) {
        plugin_.dispatch(effEditClose);
        open_ = false;
    }
}

void OpenEditor::reopen() {
    close();
    plugin_.dispatch(effEditOpen, 0, 0, window_.handle());
    open_ = true;
}

void OpenEditor::idle(int milliseconds) {
    window_.run(milliseconds, [this] { plugin_.dispatch(effEditIdle); });
}

}  // namespace tramvek
