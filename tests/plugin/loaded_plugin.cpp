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

VstIntPtr VST_CALLBACK FakeHost::callback(AEffect* effect, VstInt32 opcode, VstInt32, VstIntPtr value, void*,
                                          float) {
    opcodes.push_back(opcode);
    values.push_back(value);
    effects.push_back(effect);
    switch (opcode) {
        case audioMasterVersion:
            return version;
        case audioMasterGetTime:
            return std::bit_cast<VstIntPtr>(&time);
        default:
            return 0;
    }
}

}  // namespace tramvek::testing
