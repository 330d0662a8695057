// The host's features, looked up by URI.
#pragma once

#include <cstring>

#include <lv2/core/lv2.h>

namespace tramvek::lv2 {

// The data of the feature `uri`, or null when the host does not offer it.
inline void* findFeature(const LV2_Feature* const* features, const char* uri) {
    for (std::size_t i = 0; features != nullptr && features[i] != nullptr; ++i) {
        if (std::strcmp(features[i]->URI, uri) == 0) {
            return features[i]->data;
        }
    }
    return nullptr;
}

}  // namespace tramvek::lv2
