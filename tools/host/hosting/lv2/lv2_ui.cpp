#include "hosting/lv2/lv2_ui.h"

#include <dlfcn.h>

#include <cstring>
#include <memory>

#include "host_error.h"
#include "hosting/lv2/lv2_world.h"

namespace tramvek {
namespace {

struct LilvText {
    char* text;
    explicit LilvText(char* owned) : text(owned) {}
    ~LilvText() { lilv_free(text); }
};

const LilvUI* x11Ui(LilvWorld* world, const LilvUIs* uis) {
    const LilvValue x11(lilv_new_uri(world, LV2_UI__X11UI));
    LILV_FOREACH(uis, i, uis) {
        const LilvUI* ui = lilv_uis_get(uis, i);
        if (lilv_ui_is_a(ui, x11.get())) {
            return ui;
        }
    }
    return nullptr;
}

const LV2UI_Descriptor* findDescriptor(void* library, const char* uri) {
    const auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(library, "lv2ui_descriptor"));
    for (std::uint32_t index = 0; entry != nullptr; ++index) {
        const LV2UI_Descriptor* descriptor = entry(index);
        if (descriptor == nullptr || std::strcmp(descriptor->URI, uri) == 0) {
            return descriptor;
        }
    }
    return nullptr;
}

}  // namespace

Lv2Ui::Lv2Ui(LilvWorld* world, const LilvPlugin* plugin, UridMap& map, void* parent, Lv2UiListener listener)
    : listener_(std::move(listener)) {
    LilvUIs* uis = lilv_plugin_get_uis(plugin);
    const LilvUI* ui = uis != nullptr ? x11Ui(world, uis) : nullptr;
    if (ui == nullptr) {
        lilv_uis_free(uis);
        throw HostError("the LV2 plug-in has no X11 UI");
    }
    const std::string uri = lilv_node_as_uri(lilv_ui_get_uri(ui));
    const LilvText binary(lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(ui)), nullptr));
    const LilvText bundle(lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_bundle_uri(ui)), nullptr));
    lilv_uis_free(uis);
    library_ = binary.text != nullptr ? dlopen(binary.text, RTLD_NOW | RTLD_LOCAL) : nullptr;
    if (library_ == nullptr) {
        throw HostError(std::string("cannot load the LV2 UI library: ") + dlerror());
    }
    descriptor_ = findDescriptor(library_, uri.c_str());
    if (descriptor_ == nullptr) {
        dlclose(library_);
        throw HostError("the LV2 UI library does not describe " + uri);
    }

    resize_ = {this, [](LV2UI_Feature_Handle self, int width, int height) {
                   static_cast<Lv2Ui*>(self)->listener_.resize(width, height);
                   return 0;
               }};
    touch_ = {this, [](LV2UI_Feature_Handle self, std::uint32_t port, bool grabbed) {
                  static_cast<Lv2Ui*>(self)->listener_.touch(port, grabbed);
              }};
    features_ = {{LV2_URID__map, map.mapFeature()}, {LV2_URID__unmap, map.unmapFeature()},
                 {LV2_UI__parent, parent},          {LV2_UI__resize, &resize_},
                 {LV2_UI__touch, &touch_},          {LV2_UI__idleInterface, nullptr}};
    std::vector<const LV2_Feature*> list;
    for (const LV2_Feature& feature : features_) {
        list.push_back(&feature);
    }
    list.push_back(nullptr);
    const auto write = [](LV2UI_Controller self, std::uint32_t port, std::uint32_t size,
                          std::uint32_t protocol, const void* buffer) {
        static_cast<Lv2Ui*>(self)->listener_.write(port, protocol, buffer, size);
    };
    LV2UI_Widget widget = nullptr;
    handle_ = descriptor_->instantiate(descriptor_, lilv_node_as_uri(lilv_plugin_get_uri(plugin)),
                                       bundle.text, write, this, &widget, list.data());
    if (handle_ == nullptr) {
        dlclose(library_);
        throw HostError("the LV2 UI did not instantiate");
    }
    if (descriptor_->extension_data != nullptr) {
        idle_ = static_cast<const LV2UI_Idle_Interface*>(descriptor_->extension_data(LV2_UI__idleInterface));
    }
}

Lv2Ui::~Lv2Ui() {
    descriptor_->cleanup(handle_);
    dlclose(library_);
}

void Lv2Ui::portEvent(std::uint32_t port, std::uint32_t size, std::uint32_t protocol, const void* buffer) {
    if (descriptor_->port_event != nullptr) {
        descriptor_->port_event(handle_, port, size, protocol, buffer);
    }
}

void Lv2Ui::idle() {
    if (idle_ != nullptr) {
        idle_->idle(handle_);
    }
}

}  // namespace tramvek
