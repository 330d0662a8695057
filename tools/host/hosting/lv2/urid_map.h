// The URID map and unmap features a host gives LV2 plug-ins: each URI gets a
// number once, for the life of the map.
#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>

#include <lv2/urid/urid.h>

namespace tramvek {

class UridMap {
  public:
    UridMap();
    UridMap(const UridMap&) = delete;
    UridMap& operator=(const UridMap&) = delete;

    LV2_URID map(const char* uri);
    // Null for a number the map never gave.
    const char* unmap(LV2_URID urid);

    LV2_URID_Map* mapFeature() { return &map_; }
    LV2_URID_Unmap* unmapFeature() { return &unmap_; }

  private:
    // Plug-ins may map from any thread.
    std::mutex mutex_;
    std::unordered_map<std::string, LV2_URID> ids_;
    std::deque<std::string> uris_;  // uris_[id - 1]; a deque keeps the texts in place
    LV2_URID_Map map_;
    LV2_URID_Unmap unmap_;
};

}  // namespace tramvek
