// The editor as LV2 hosts see it (the UI library): the portable editor in the
// host's window, hosted through the plug-in's ports alone, so that a host may
// run it apart from the plug-in. Parameter edits go to the control ports
// through the host's write function, inside the host's touch gesture where it
// offers one; every other edit goes to the plug-in as a command message; what
// the editor shows is the last view message from the notify port, with the
// control ports' values as the host reports them. The editor asks for each
// view after it has taken the last one, so a host's queue to it never fills.
#pragma once

#include <cstdint>
#include <memory>

#include <lv2/atom/forge.h>
#include <lv2/core/lv2.h>
#include <lv2/ui/ui.h>

#include "editor/editor_host.h"
#include "editor/slicer_editor.h"
#include "engine/engine_view.h"
#include "plugin/lv2/lv2_uris.h"

namespace tramvek::lv2 {

class Lv2UiHost final : private EditorHost {
  public:
    // Null when the host gives no URID map or no parent window, or the
    // editor cannot open there. `widget` gets the editor's window.
    static std::unique_ptr<Lv2UiHost> create(LV2UI_Write_Function write, LV2UI_Controller controller,
                                             const LV2_Feature* const* features, LV2UI_Widget* widget);
    ~Lv2UiHost();
    Lv2UiHost(const Lv2UiHost&) = delete;
    Lv2UiHost& operator=(const Lv2UiHost&) = delete;

    // The host's report of a port: a control port's value, or a message from notify.
    void portEvent(std::uint32_t port, std::uint32_t size, std::uint32_t protocol, const void* buffer);
    // The host's idle: the editor's window events, redraws and idle work.
    void idle();

  private:
    Lv2UiHost(LV2UI_Write_Function write, LV2UI_Controller controller, const LV2_URID_Map& map,
              const LV2UI_Touch* touch);

    void beginEdit(std::int32_t index) override;
    void performEdit(std::int32_t index, float value) override;
    void endEdit(std::int32_t index) override;
    void hostIdle() override;
    void send(const EngineCommand& command) override;
    const EngineView& view() override { return view_; }

    // Writes what the forge holds to the command port as one message.
    void writeMessage();
    void requestView();

    LV2UI_Write_Function write_;
    LV2UI_Controller controller_;
    const LV2UI_Touch* touch_;
    Uris uris_;
    LV2_Atom_Forge forge_ = {};
    alignas(8) std::uint8_t message_[256] = {};
    EngineView view_;
    // Another request goes out once the asked-for view has come, or when it seems lost.
    bool viewArrived_ = false;
    std::uint32_t requestedAt_ = 0;
    // The parameter being dragged, which a view older than the drag must not move back.
    std::int32_t gesture_ = -1;
    SlicerEditor editor_;
};

}  // namespace tramvek::lv2
