// The LV2 world as lilv reads it, and the plug-in a command names: a bundle
// directory (its one plug-in, or its first) or a plug-in URI among the
// installed ones (see lv2_plugin_name.h).
#pragma once

#include <string>

#include <lilv/lilv.h>

namespace tramvek {

class Lv2World {
  public:
    Lv2World();
    ~Lv2World();
    Lv2World(const Lv2World&) = delete;
    Lv2World& operator=(const Lv2World&) = delete;

    LilvWorld* get() { return world_; }
    // Throws HostError when nothing matches.
    const LilvPlugin* findPlugin(const std::string& name);

  private:
    LilvWorld* world_;
};

// A lilv node, freed with its owner.
class LilvValue {
  public:
    explicit LilvValue(LilvNode* node) : node_(node) {}
    ~LilvValue() { lilv_node_free(node_); }
    LilvValue(const LilvValue&) = delete;
    LilvValue& operator=(const LilvValue&) = delete;
    const LilvNode* get() const { return node_; }
    explicit operator bool() const { return node_ != nullptr; }

  private:
    LilvNode* node_;
};

}  // namespace tramvek
