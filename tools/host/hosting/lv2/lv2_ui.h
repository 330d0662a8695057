// An LV2 plug-in's X11 UI as a host runs it: its library loaded through its
// descriptor, embedded in a window of ours, told of port changes, idled, and
// heard through the write function (control values, messages) and the touch
// and resize features. The plug-in's instance stays the host's: the UI gets
// no access to it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <lilv/lilv.h>
#include <lv2/ui/ui.h>

#include "hosting/lv2/urid_map.h"

namespace tramvek {

struct Lv2UiListener {
    // A write to `port`: a float (protocol 0) or a message (atom:eventTransfer).
    std::function<void(std::uint32_t port, std::uint32_t protocol, const void* buffer, std::uint32_t size)>
        write;
    std::function<void(std::uint32_t port, bool grabbed)> touch;
    std::function<void(int width, int height)> resize;
};

class Lv2Ui {
  public:
    // Throws HostError when the plug-in has no X11 UI, its library does not
    // load, or it does not instantiate in `parent` (an X11 window id).
    Lv2Ui(LilvWorld* world, const LilvPlugin* plugin, UridMap& map, void* parent, Lv2UiListener listener);
    ~Lv2Ui();
    Lv2Ui(const Lv2Ui&) = delete;
    Lv2Ui& operator=(const Lv2Ui&) = delete;

    void portEvent(std::uint32_t port, std::uint32_t size, std::uint32_t protocol, const void* buffer);
    // The UI's idle, where it has one.
    void idle();

  private:
    Lv2UiListener listener_;
    void* library_ = nullptr;
    const LV2UI_Descriptor* descriptor_ = nullptr;
    LV2UI_Handle handle_ = nullptr;
    const LV2UI_Idle_Interface* idle_ = nullptr;
    LV2UI_Resize resize_{};
    LV2UI_Touch touch_{};
    std::vector<LV2_Feature> features_;
};

}  // namespace tramvek
