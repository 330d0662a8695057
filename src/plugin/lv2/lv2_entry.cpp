// The library's one export: the descriptor LV2 hosts find by lv2_descriptor.
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>

#include <cstring>

#include "plugin/lv2/lv2_identity.h"
#include "plugin/lv2/lv2_slicer.h"

namespace tramvek::lv2 {
namespace {

Lv2Slicer& slicer(LV2_Handle instance) {
    return *static_cast<Lv2Slicer*>(instance);
}

LV2_Handle instantiate(const LV2_Descriptor* /*descriptor*/, double sampleRate, const char* /*bundlePath*/,
                       const LV2_Feature* const* features) {
    try {
        return Lv2Slicer::create(sampleRate, features).release();
    } catch (...) {
        return nullptr;  // no exception may cross into the host
    }
}

void connectPort(LV2_Handle instance, std::uint32_t port, void* data) {
    slicer(instance).connect(port, data);
}

void activate(LV2_Handle instance) {
    slicer(instance).activate();
}

void run(LV2_Handle instance, std::uint32_t frames) {
    slicer(instance).run(frames);
}

void deactivate(LV2_Handle instance) {
    slicer(instance).deactivate();
}

void cleanup(LV2_Handle instance) {
    delete &slicer(instance);
}

LV2_State_Status save(LV2_Handle instance, LV2_State_Store_Function store, LV2_State_Handle handle,
                      std::uint32_t /*flags*/, const LV2_Feature* const* features) {
    return slicer(instance).save(store, handle, features);
}

LV2_State_Status restore(LV2_Handle instance, LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle,
                         std::uint32_t /*flags*/, const LV2_Feature* const* features) {
    return slicer(instance).restore(retrieve, handle, features);
}

const void* extensionData(const char* uri) {
    static const LV2_State_Interface state{save, restore};
    return std::strcmp(uri, LV2_STATE__interface) == 0 ? &state : nullptr;
}

const LV2_Descriptor kDescriptor{kPluginUri, instantiate, connectPort, activate,
                                 run,        deactivate,  cleanup,     extensionData};

}  // namespace
}  // namespace tramvek::lv2

extern "C" __attribute__((visibility("default"))) const LV2_Descriptor* lv2_descriptor(std::uint32_t index) {
    return index == 0 ? &tramvek::lv2::kDescriptor : nullptr;
}
