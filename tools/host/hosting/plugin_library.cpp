#include "hosting/plugin_library.h"

#include <filesystem>

#include "host_error.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace tramvek {
namespace {

#ifdef _WIN32
void* openLibrary(const std::string& path) {
    HMODULE module = LoadLibraryA(path.c_str());
    if (module == nullptr) {
        DWORD code = GetLastError();
        std::string reason = code == ERROR_BAD_EXE_FORMAT
                                 ? "not a library for this " + std::to_string(sizeof(void*) * 8) + "-bit host"
                                 : "Windows error " + std::to_string(code);
        throw HostError("cannot load plug-in " + path + ": " + reason);
    }
    return reinterpret_cast<void*>(module);
}

void* findSymbol(void* handle, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}

void closeLibrary(void* handle) {
    FreeLibrary(static_cast<HMODULE>(handle));
}
#else
void* openLibrary(const std::string& path) {
    // A bare file name would make dlopen search the library path instead.
    std::string resolved = std::filesystem::absolute(path).string();
    void* handle = dlopen(resolved.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* reason = dlerror();
        throw HostError("cannot load plug-in " + path + ": " + (reason ? reason : "unknown error"));
    }
    return handle;
}

void* findSymbol(void* handle, const char* name) {
    return dlsym(handle, name);
}

void closeLibrary(void* handle) {
    dlclose(handle);
}
#endif

}  // namespace

PluginLibrary::PluginLibrary(const std::string& path) : path_(path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        throw HostError("plug-in not found: " + path);
    }
    handle_ = openLibrary(path);
}

PluginLibrary::~PluginLibrary() {
    closeLibrary(handle_);
}

PluginEntry PluginLibrary::entry() const {
    for (const char* name : {"VSTPluginMain", "main"}) {
        if (void* symbol = findSymbol(handle_, name)) {
            return reinterpret_cast<PluginEntry>(symbol);
        }
    }
    throw HostError("not a VST 2 plug-in (no VSTPluginMain or main export): " + path_);
}

}  // namespace tramvek
