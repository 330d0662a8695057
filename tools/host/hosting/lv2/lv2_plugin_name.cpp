#include "hosting/lv2/lv2_plugin_name.h"

#include <filesystem>

namespace tramvek {

bool isPluginUri(const std::string& name) {
    const std::size_t colon = name.find(':');
    // "C:" is a drive, not a scheme.
    return colon != std::string::npos && colon > 1 && name.find('/') > colon;
}

bool namesLv2Plugin(const std::string& name) {
    std::string trimmed = name;
    while (trimmed.size() > 1 && trimmed.back() == '/') {
        trimmed.pop_back();
    }
    std::error_code error;
    const bool bundle = trimmed.size() > 4 && trimmed.compare(trimmed.size() - 4, 4, ".lv2") == 0 &&
                        std::filesystem::is_directory(name, error);
    return bundle || (isPluginUri(name) && !std::filesystem::exists(name, error));
}

}  // namespace tramvek
