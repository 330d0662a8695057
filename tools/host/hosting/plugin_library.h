// A plug-in's shared library, opened with the platform loader and closed on
// destruction, with its VST 2 entry looked up by the two usual names.
#pragma once

#include <string>

#include "host/vst2.h"

namespace tramvek {

using PluginEntry = AEffect*(VST_CALLBACK*)(AudioMasterCallback);

class PluginLibrary {
  public:
    explicit PluginLibrary(const std::string& path);
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    // "VSTPluginMain" first, then the older "main".
    PluginEntry entry() const;

  private:
    void* handle_ = nullptr;
    std::string path_;
};

}  // namespace tramvek
