#include "gui/win32/dropped_items.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cctype>

namespace tramvek {

namespace {

constexpr UINT kMaxPath = 1024;
constexpr DWORD kShortcutSearchMilliseconds = 500;

bool isShortcut(const std::string& path) {
    if (path.size() < 4) {
        return false;
    }
    std::string extension = path.substr(path.size() - 4);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".lnk";
}

std::wstring widen(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(length, 1)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
    return wide;
}

// Releases a COM interface pointer when it goes out of scope.
template <typename Interface>
struct ComReference {
    Interface* pointer = nullptr;
    ~ComReference() {
        if (pointer != nullptr) {
            pointer->Release();
        }
    }
};

}  // namespace

std::string droppedText(HGLOBAL block) {
    const SIZE_T size = GlobalSize(block);
    const auto* bytes = static_cast<const char*>(GlobalLock(block));
    std::string text;
    if (bytes != nullptr && size > 0 && bytes[0] != '\0') {
        text.assign(bytes, size);
    }
    if (bytes != nullptr) {
        GlobalUnlock(block);
    }
    return text;
}

std::string resolveShortcut(const std::string& path, HWND window) {
    ComReference<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link.pointer)))) {
        return {};
    }
    ComReference<IPersistFile> file;
    if (FAILED(link.pointer->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.pointer))) ||
        FAILED(file.pointer->Load(widen(path).c_str(), STGM_READ)) ||
        FAILED(link.pointer->Resolve(window, SLR_NO_UI | (kShortcutSearchMilliseconds << 16)))) {
        return {};
    }
    char target[MAX_PATH] = {};
    if (FAILED(link.pointer->GetPath(target, MAX_PATH, nullptr, SLGP_SHORTPATH)) || target[0] == '\0') {
        return {};
    }
    // Not every shell honours SLGP_SHORTPATH; the file system gives the short form itself.
    char shortTarget[MAX_PATH] = {};
    const DWORD length = GetShortPathNameA(target, shortTarget, MAX_PATH);
    return length > 0 && length < MAX_PATH ? shortTarget : target;
}

std::vector<std::string> droppedFiles(HDROP list, HWND window) {
    std::vector<std::string> paths;
    const UINT count = DragQueryFileA(list, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        char path[kMaxPath] = {};
        DragQueryFileA(list, i, path, kMaxPath);
        std::string item = path;
        if (isShortcut(item)) {
            if (std::string target = resolveShortcut(item, window); !target.empty()) {
                item = std::move(target);
            }
        }
        paths.push_back(std::move(item));
    }
    return paths;
}

}  // namespace tramvek
