// How a command line names an LV2 plug-in rather than a VST 2 library: a
// bundle directory ending in ".lv2", or a plug-in URI ("urn:...", "http://...").
// Known to every build, so that one without LV2 hosting can say so.
#pragma once

#include <string>

namespace tramvek {

bool isPluginUri(const std::string& name);
bool namesLv2Plugin(const std::string& name);

}  // namespace tramvek
