#include "hosting/lv2/lv2_world.h"

#include <cstdlib>
#include <filesystem>

#include "host_error.h"
#include "hosting/lv2/lv2_plugin_name.h"

namespace tramvek {
namespace {

std::string bundleUriFor(const std::string& path) {
    std::error_code error;
    const std::filesystem::path directory = std::filesystem::canonical(path, error);
    if (error || !std::filesystem::is_directory(directory)) {
        throw HostError("no LV2 bundle directory " + path);
    }
    std::string uri = "file://" + directory.string();
    return uri.back() == '/' ? uri : uri + "/";
}

}  // namespace

Lv2World::Lv2World() : world_(lilv_world_new()) {
    if (world_ == nullptr) {
        throw HostError("lilv could not create a world");
    }
}

Lv2World::~Lv2World() {
    lilv_world_free(world_);
}

const LilvPlugin* Lv2World::findPlugin(const std::string& name) {
    if (!isPluginUri(name)) {
        const std::string bundle = bundleUriFor(name);
        LilvValue bundleNode(lilv_new_uri(world_, bundle.c_str()));
        lilv_world_load_bundle(world_, bundleNode.get());
        const LilvPlugins* plugins = lilv_world_get_all_plugins(world_);
        LILV_FOREACH(plugins, i, plugins) {
            const LilvPlugin* plugin = lilv_plugins_get(plugins, i);
            if (lilv_node_equals(lilv_plugin_get_bundle_uri(plugin), bundleNode.get())) {
                return plugin;
            }
        }
        throw HostError("the LV2 bundle " + name + " describes no plug-in");
    }
    lilv_world_load_all(world_);
    LilvValue uri(lilv_new_uri(world_, name.c_str()));
    const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world_), uri.get());
    if (plugin == nullptr) {
        throw HostError("no installed LV2 plug-in has the URI " + name);
    }
    return plugin;
}

}  // namespace tramvek
