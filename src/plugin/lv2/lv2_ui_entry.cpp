// The UI library's one export: the descriptor LV2 hosts find by lv2ui_descriptor.
#include <lv2/ui/ui.h>

#include <cstring>

#include "plugin/lv2/lv2_identity.h"
#include "plugin/lv2/lv2_ui_host.h"

namespace tramvek::lv2 {
namespace {

Lv2UiHost& ui(LV2UI_Handle handle) {
    return *static_cast<Lv2UiHost*>(handle);
}

LV2UI_Handle instantiate(const LV2UI_Descriptor* /*descriptor*/, const char* /*pluginUri*/,
                         const char* /*bundlePath*/, LV2UI_Write_Function write, LV2UI_Controller controller,
                         LV2UI_Widget* widget, const LV2_Feature* const* features) {
    try {
        return Lv2UiHost::create(write, controller, features, widget).release();
    } catch (...) {
        return nullptr;  // no exception may cross into the host
    }
}

void cleanup(LV2UI_Handle handle) {
    delete &ui(handle);
}

void portEvent(LV2UI_Handle handle, std::uint32_t port, std::uint32_t size, std::uint32_t protocol,
               const void* buffer) {
    ui(handle).portEvent(port, size, protocol, buffer);
}

int idle(LV2UI_Handle handle) {
    ui(handle).idle();
    return 0;
}

const void* extensionData(const char* uri) {
    static const LV2UI_Idle_Interface idleInterface{idle};
    return std::strcmp(uri, LV2_UI__idleInterface) == 0 ? &idleInterface : nullptr;
}

const LV2UI_Descriptor kDescriptor{kUiUri, instantiate, cleanup, portEvent, extensionData};

}  // namespace
}  // namespace tramvek::lv2

extern "C" __attribute__((visibility("default"))) const LV2UI_Descriptor* lv2ui_descriptor(
    std::uint32_t index) {
    return index == 0 ? &tramvek::lv2::kDescriptor : nullptr;
}
