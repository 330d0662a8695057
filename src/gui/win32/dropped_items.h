#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tramvek {

// The text of a CF_TEXT block: all of its GlobalSize bytes, always followed by a
// terminating zero even when the source left it out. Empty when the block is
// empty or starts with a zero.
std::string droppedText(HGLOBAL block);

// The paths of a CF_HDROP list (each at most 1023 characters); a ".lnk" shortcut
// (any letter case) is replaced by the short form of its target path, or kept
// as it is when it cannot be resolved.
std::vector<std::string> droppedFiles(HDROP list, HWND window);

// The short form of the target of the shortcut file `path`, resolved without
// user interface and with a search limit of 500 ms; empty on failure.
std::string resolveShortcut(const std::string& path, HWND window);

}  // namespace tramvek
