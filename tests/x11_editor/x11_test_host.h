// A minimal Linux host for editor tests: a plain top-level X11 window as the
// parent, the built plug-in loaded through its entry with FakeHost's callback,
// effEditIdle called from a thread of its own, input from xdotool and pictures
// read with XGetImage.
#pragma once

#include <X11/Xlib.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "gui/raster/pixel_buffer.h"
#include "host/vst2.h"
#include "plugin/loaded_plugin.h"

namespace tramvek::testing {

class X11TestHost {
  public:
    // Where the parent window sits on the screen.
    static constexpr int kParentX = 200;
    static constexpr int kParentY = 150;

    X11TestHost();
    ~X11TestHost();

    bool ready() const { return display_ != nullptr && effect_ != nullptr; }
    AEffect* effect() const { return effect_; }
    Window parent() const { return parent_; }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr);
    VstIntPtr openEditor();
    void closeEditor();

    // Destroys the parent window (and with it any editor inside) and makes a new one.
    void replaceParent();

    // effEditIdle about every 25 ms on the idle thread while running.
    void startIdling();
    void stopIdling();
    // Waits until the idle thread has made `count` more calls.
    void waitForIdles(int count);

    // The parent's child windows now.
    int childCount();
    // The first child of the parent as the X server shows it (empty if none).
    PixelBuffer captureEditor();

    // Runs xdotool with `arguments`; window coordinates are relative to the parent.
    static bool xdotool(const std::string& arguments);
    static std::string at(int x, int y);

  private:
    void createParent();

    LoadedPlugin library_;
    Display* display_ = nullptr;
    Window parent_ = 0;
    AEffect* effect_ = nullptr;
    std::thread idler_;
    std::atomic<bool> idling_{false};
    std::atomic<int> idleCalls_{0};
};

}  // namespace tramvek::testing
