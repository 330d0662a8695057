#include "plugin/lv2/lv2_ui_host.h"

#include <cmath>
#include <cstdint>
#include <new>

#include "gui/frame.h"
#include "gui/platform.h"
#include "params/parameter_table.h"
#include "plugin/lv2/host_features.h"
#include "plugin/lv2/lv2_identity.h"
#include "plugin/lv2/lv2_messages.h"
#include "plugin/lv2/port_values.h"

namespace tramvek::lv2 {
namespace {

// The float protocol, the one every host takes for control ports.
constexpr std::uint32_t kFloatProtocol = 0;
// A view not come by then is asked for again (the host may have dropped either message).
constexpr std::uint32_t kViewRetryMilliseconds = 500;

std::int32_t parameterOfPort(std::uint32_t port) {
    return port >= kPortFirstControl && port < kPortFirstControl + kParameterCount
               ? static_cast<std::int32_t>(port - kPortFirstControl)
               : -1;
}

bool isParameter(std::int32_t index) {
    return index >= 0 && index < kParameterCount;
}

}  // namespace

std::unique_ptr<Lv2UiHost> Lv2UiHost::create(LV2UI_Write_Function write, LV2UI_Controller controller,
                                             const LV2_Feature* const* features, LV2UI_Widget* widget) {
    const auto* map = static_cast<const LV2_URID_Map*>(findFeature(features, LV2_URID__map));
    void* parent = findFeature(features, LV2_UI__parent);
    if (map == nullptr || parent == nullptr || write == nullptr) {
        return nullptr;
    }
    const auto* touch = static_cast<const LV2UI_Touch*>(findFeature(features, LV2_UI__touch));
    std::unique_ptr<Lv2UiHost> ui(new (std::nothrow) Lv2UiHost(write, controller, *map, touch));
    if (ui == nullptr || !ui->editor_.open(parent) || ui->editor_.frame() == nullptr ||
        ui->editor_.frame()->window() == nullptr) {
        return nullptr;
    }
    *widget = ui->editor_.frame()->window()->nativeHandle();
    const Rect size = ui->editor_.bounds();
    if (const auto* resize = static_cast<const LV2UI_Resize*>(findFeature(features, LV2_UI__resize))) {
        resize->ui_resize(resize->handle, size.right - size.left, size.bottom - size.top);
    }
    ui->requestView();
    return ui;
}

Lv2UiHost::Lv2UiHost(LV2UI_Write_Function write, LV2UI_Controller controller, const LV2_URID_Map& map,
                     const LV2UI_Touch* touch)
    : write_(write), controller_(controller), touch_(touch), uris_(mapUris(map)), editor_(*this) {
    lv2_atom_forge_init(&forge_, const_cast<LV2_URID_Map*>(&map));
    for (std::int32_t i = 0; i < kParameterCount; ++i) {
        view_.snapshot.paramValues[i] = kDefaultParams[i];
    }
}

Lv2UiHost::~Lv2UiHost() {
    editor_.close();
}

void Lv2UiHost::portEvent(std::uint32_t port, std::uint32_t size, std::uint32_t protocol,
                          const void* buffer) {
    const std::int32_t parameter = parameterOfPort(port);
    if (parameter >= 0 && protocol == kFloatProtocol && size == sizeof(float)) {
        const float value = *static_cast<const float*>(buffer);
        if (std::isfinite(value) && parameter != gesture_) {
            view_.snapshot.paramValues[parameter] = engineValueFor(parameter, value);
        }
        return;
    }
    if (port != kPortNotify || protocol != uris_.atomEventTransfer || size < sizeof(LV2_Atom)) {
        return;
    }
    const auto* atom = static_cast<const LV2_Atom*>(buffer);
    if (sizeof(LV2_Atom) + atom->size > size) {
        return;
    }
    const float dragged = isParameter(gesture_) ? view_.snapshot.paramValues[gesture_] : 0.0f;
    if (!readView(*atom, uris_, view_)) {
        return;
    }
    viewArrived_ = true;
    if (isParameter(gesture_)) {
        view_.snapshot.paramValues[gesture_] = dragged;
    }
}

void Lv2UiHost::idle() {
    if (viewArrived_ || platform().tickCount() - requestedAt_ >= kViewRetryMilliseconds) {
        requestView();
    }
    editor_.idle();
}

void Lv2UiHost::beginEdit(std::int32_t index) {
    if (!isParameter(index)) {
        return;
    }
    gesture_ = index;
    if (touch_ != nullptr) {
        touch_->touch(touch_->handle, kPortFirstControl + static_cast<std::uint32_t>(index), true);
    }
}

// The editor shows the value at once; the plug-in takes it from the port.
void Lv2UiHost::performEdit(std::int32_t index, float value) {
    if (!isParameter(index)) {
        return;
    }
    view_.snapshot.paramValues[index] = value;
    const float port = portValueFor(index, value);
    write_(controller_, kPortFirstControl + static_cast<std::uint32_t>(index), sizeof port, kFloatProtocol,
           &port);
}

void Lv2UiHost::endEdit(std::int32_t index) {
    if (!isParameter(index)) {
        return;
    }
    if (touch_ != nullptr) {
        touch_->touch(touch_->handle, kPortFirstControl + static_cast<std::uint32_t>(index), false);
    }
    gesture_ = -1;
}

// The host idles us, not the other way round: nothing to run here.
void Lv2UiHost::hostIdle() {}

void Lv2UiHost::send(const EngineCommand& command) {
    // A parameter is a control port's, so that the host records it.
    if (command.kind == EngineCommand::Kind::kSetParameter) {
        edit(command.a, command.value);
        return;
    }
    lv2_atom_forge_set_buffer(&forge_, message_, sizeof message_);
    if (forgeCommand(forge_, uris_, command)) {
        writeMessage();
    }
}

void Lv2UiHost::requestView() {
    viewArrived_ = false;
    requestedAt_ = platform().tickCount();
    lv2_atom_forge_set_buffer(&forge_, message_, sizeof message_);
    if (forgeViewRequest(forge_, uris_)) {
        writeMessage();
    }
}

void Lv2UiHost::writeMessage() {
    const auto* atom = reinterpret_cast<const LV2_Atom*>(message_);
    write_(controller_, kPortCommands, static_cast<std::uint32_t>(sizeof(LV2_Atom) + atom->size),
           uris_.atomEventTransfer, atom);
}

}  // namespace tramvek::lv2
