#include "plugin/loaded_plugin.h"

#include <bit>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace tramvek::testing {

#if defined(_WIN32)
LoadedPlugin::LoadedPlugin() {
    std::string path = TRAMVEK_PLUGIN_PATH;
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    handle = LoadLibraryA(path.c_str());
}

LoadedPlugin::~LoadedPlugin() {
    if (handle != nullptr) {
        FreeLibrary(static_cast<HMODULE>(handle));
    }
}

PluginEntry LoadedPlugin::entry(const char* name) const {
    return std::bit_cast<PluginEntry>(GetProcAddress(static_cast<HMODULE>(handle), name));
}
#else
LoadedPlugin::LoadedPlugin() : handle(dlopen(TRAMVEK_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL)) {}

LoadedPlugin::~LoadedPlugin() {
    if (handle != nullptr) {
        dlclose(handle);
    }
}

PluginEntry LoadedPlugin::entry(const char* name) const {
    return std::bit_cast<PluginEntry>(dlsym(handle, name));
}
#endif

VstIntPtr VST_CALLBACK FakeHost::callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                          void*, float opt) {
    {
        std::lock_guard<std::mutex> hold(recording);
        opcodes.push_back(opcode);
        indexes.push_back(index);
        values.push_back(value);
        opts.push_back(opt);
        effects.push_back(effect);
    }
    switch (opcode) {
        case audioMasterVersion:
            return version;
        case audioMasterGetTime:
            return std::bit_cast<VstIntPtr>(&time);
        default:
            return 0;
    }
}

void FakeHost::clear() {
    std::lock_guard<std::mutex> hold(recording);
    opcodes.clear();
    indexes.clear();
    values.clear();
    opts.clear();
    effects.clear();
}

}  // namespace tramvek::testing
