// The library's exported entry: the host calls it once per instance with its
// callback and receives the instance's AEffect record, or null.
#include <memory>
#include <new>

#include "plugin/vst2/slicer_plugin.h"

namespace tramvek {

namespace {

AEffect* createPlugin(AudioMasterCallback audioMaster) {
    if (audioMaster == nullptr || audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) {
        return nullptr;
    }
    std::unique_ptr<SlicerPlugin> plugin;
    try {
        plugin.reset(new (std::nothrow) SlicerPlugin(audioMaster));
    } catch (const std::bad_alloc&) {
        return nullptr;  // no exception may cross into the host
    }
    if (plugin == nullptr || !plugin->ready()) {
        return nullptr;
    }
    return &plugin.release()->effect;
}

}  // namespace

}  // namespace tramvek

#if defined(_WIN32)
#define TRAMVEK_EXPORT
#else
#define TRAMVEK_EXPORT __attribute__((visibility("default")))
#endif

// Windows hosts look for "main" (exported under that name by tramvek.def);
// Linux hosts look for "VSTPluginMain" or "main".
extern "C" TRAMVEK_EXPORT tramvek::AEffect* VST_CALLBACK
VSTPluginMain(tramvek::AudioMasterCallback audioMaster) {
    return tramvek::createPlugin(audioMaster);
}

#if !defined(_WIN32)
// A C++ function may not be called main; the symbol name is given directly.
extern "C" TRAMVEK_EXPORT tramvek::AEffect* mainEntry(tramvek::AudioMasterCallback audioMaster) __asm__(
    "main");

extern "C" tramvek::AEffect* mainEntry(tramvek::AudioMasterCallback audioMaster) {
    return tramvek::createPlugin(audioMaster);
}
#endif
