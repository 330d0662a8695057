#include "hosting/lv2/urid_map.h"

namespace tramvek {

UridMap::UridMap()
    : map_{this, [](LV2_URID_Map_Handle handle,
                    const char* uri) { return static_cast<UridMap*>(handle)->map(uri); }},
      unmap_{this, [](LV2_URID_Unmap_Handle handle, LV2_URID urid) {
                 return static_cast<UridMap*>(handle)->unmap(urid);
             }} {}

LV2_URID UridMap::map(const char* uri) {
    if (uri == nullptr) {
        return 0;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    auto [entry, added] = ids_.try_emplace(uri, static_cast<LV2_URID>(uris_.size() + 1));
    if (added) {
        uris_.emplace_back(uri);
    }
    return entry->second;
}

const char* UridMap::unmap(LV2_URID urid) {
    std::lock_guard<std::mutex> lock(mutex_);
    return urid >= 1 && urid <= uris_.size() ? uris_[urid - 1].c_str() : nullptr;
}

}  // namespace tramvek
