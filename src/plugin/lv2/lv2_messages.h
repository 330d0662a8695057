// The messages between the editor and the plug-in, as atoms on the plug-in's
// command input and notify output: an edit is an object with the command's
// four fields, a view request an empty object, a view an object holding the
// view's bytes (the editor and the plug-in come from one build).
#pragma once

#include <cstdint>
#include <optional>

#include <lv2/atom/atom.h>
#include <lv2/atom/forge.h>

#include "engine/engine_command.h"
#include "engine/engine_view.h"
#include "plugin/lv2/lv2_uris.h"

namespace tramvek::lv2 {

// A view message's size, header and padding included.
inline constexpr std::uint32_t kViewMessageBytes =
    (sizeof(LV2_Atom_Object) + sizeof(LV2_Atom_Property_Body) + sizeof(EngineView) + 7) / 8 * 8;
// What the notify port's buffer must hold: a sequence with one view.
inline constexpr std::uint32_t kNotifyBufferBytes =
    (sizeof(LV2_Atom_Sequence) + sizeof(LV2_Atom_Event) + kViewMessageBytes + 1023) / 1024 * 1024;

// Each writes one atom at the forge's position; false (and nothing written)
// when the forge's buffer lacks the room.
bool forgeCommand(LV2_Atom_Forge& forge, const Uris& uris, const EngineCommand& command);
bool forgeViewRequest(LV2_Atom_Forge& forge, const Uris& uris);
bool forgeView(LV2_Atom_Forge& forge, const Uris& uris, const EngineView& view);

// Empty when `atom` is no well-formed command (an unknown kind included).
std::optional<EngineCommand> readCommand(const LV2_Atom& atom, const Uris& uris);
bool isViewRequest(const LV2_Atom& atom, const Uris& uris);
// Fills `view` from a view message of this build's size; false otherwise.
bool readView(const LV2_Atom& atom, const Uris& uris, EngineView& view);

}  // namespace tramvek::lv2
