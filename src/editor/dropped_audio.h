// An audio file dropped on the editor, made the frozen pattern: read and
// brought to the engine's rate and pattern length on the editor's thread, then
// handed to the engine whole.
#pragma once

#include <string>

namespace tramvek {

class EditorHost;

// Freezes the file at `path`: its first pattern's worth, silence after its
// end. Returns the one line the editor shows when nothing changed, or empty.
std::string freezeDroppedFile(EditorHost& host, const std::string& path);

}  // namespace tramvek
