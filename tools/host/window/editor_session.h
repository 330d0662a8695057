// `editor-session`: a plug-in's editor open in a window, driven by commands on
// standard input, one reply line each on standard output. For scripts that
// press, drag and look at the real window (end-to-end tests with a display):
//
//   origin          screen position of the editor's top-left: "X Y"
//   idle MS         run the window (messages, effEditIdle) for MS ms: "ok"
//   snapshot FILE   save the window as PNG: "ok"
//   pixel X Y       the window's pixel at (X, Y): "R G B"
//   param I         the plug-in's getParameter(I): "0.123456"
//   close / open    effEditClose / effEditOpen in the same window: "ok"
//   gdi             the GDI objects the process holds: "COUNT"
//   quit            end the session: "bye"
//
// An unknown or malformed command answers "error: ..." and the session goes on.
#pragma once

#include <iosfwd>
#include <string>

namespace tramvek {

struct EditorSessionOptions {
    std::string plugin;
};

void runEditorSession(const EditorSessionOptions& options, std::istream& commands, std::ostream& replies);

}  // namespace tramvek
