// A URID map for the adapter's tests: each URI gets the next number.
#pragma once

#include <lv2/urid/urid.h>

#include <string>
#include <vector>

namespace tramvek::lv2 {

class UridTable {
  public:
    LV2_URID id(const char* uri) {
        for (std::size_t i = 0; i < uris_.size(); ++i) {
            if (uris_[i] == uri) {
                return static_cast<LV2_URID>(i + 1);
            }
        }
        uris_.emplace_back(uri);
        return static_cast<LV2_URID>(uris_.size());
    }
    LV2_URID_Map map{this, [](LV2_URID_Map_Handle self, const char* uri) {
                         return static_cast<UridTable*>(self)->id(uri);
                     }};

  private:
    std::vector<std::string> uris_;
};

}  // namespace tramvek::lv2
