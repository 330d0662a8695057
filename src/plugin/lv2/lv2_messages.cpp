#include "plugin/lv2/lv2_messages.h"

#include <cstring>

#include <lv2/atom/util.h>

namespace tramvek::lv2 {
namespace {

// The editor's edits end here; the kinds after it (a load's hand-over) are the
// engine's own and never come from a message.
constexpr auto kLastKind = static_cast<std::int32_t>(EngineCommand::Kind::kNewVariation);
static_assert(kLastKind + 1 == static_cast<std::int32_t>(EngineCommand::Kind::kApplyLoad));
// A command's object: its header and four properties of at most eight bytes' body.
constexpr std::uint32_t kCommandBytes =
    sizeof(LV2_Atom_Object) + 4 * (sizeof(LV2_Atom_Property_Body) + sizeof(std::int64_t));

bool hasRoom(const LV2_Atom_Forge& forge, std::uint32_t bytes) {
    // A forge with a sink has no fixed buffer; its sink says when it is full.
    return forge.buf == nullptr || forge.size - forge.offset >= bytes;
}

const LV2_Atom_Object* objectOf(const LV2_Atom& atom, const Uris& uris, LV2_URID type) {
    if ((atom.type != uris.atomObject && atom.type != uris.atomBlank) ||
        atom.size < sizeof(LV2_Atom_Object_Body)) {
        return nullptr;
    }
    const auto* object = reinterpret_cast<const LV2_Atom_Object*>(&atom);
    return object->body.otype == type ? object : nullptr;
}

bool readInt(const LV2_Atom* atom, const Uris& uris, std::int32_t& out) {
    if (atom == nullptr || atom->type != uris.atomInt || atom->size != sizeof(std::int32_t)) {
        return false;
    }
    out = reinterpret_cast<const LV2_Atom_Int*>(atom)->body;
    return true;
}

}  // namespace

bool forgeCommand(LV2_Atom_Forge& forge, const Uris& uris, const EngineCommand& command) {
    if (!hasRoom(forge, kCommandBytes)) {
        return false;
    }
    LV2_Atom_Forge_Frame frame;
    bool written = lv2_atom_forge_object(&forge, &frame, 0, uris.command) != 0;
    written = written && lv2_atom_forge_key(&forge, uris.commandKind) != 0 &&
              lv2_atom_forge_int(&forge, static_cast<std::int32_t>(command.kind)) != 0;
    written = written && lv2_atom_forge_key(&forge, uris.commandFirst) != 0 &&
              lv2_atom_forge_int(&forge, command.a) != 0;
    written = written && lv2_atom_forge_key(&forge, uris.commandSecond) != 0 &&
              lv2_atom_forge_int(&forge, command.b) != 0;
    written = written && lv2_atom_forge_key(&forge, uris.commandValue) != 0 &&
              lv2_atom_forge_float(&forge, command.value) != 0;
    lv2_atom_forge_pop(&forge, &frame);
    return written;
}

bool forgeViewRequest(LV2_Atom_Forge& forge, const Uris& uris) {
    if (!hasRoom(forge, sizeof(LV2_Atom_Object))) {
        return false;
    }
    LV2_Atom_Forge_Frame frame;
    const bool written = lv2_atom_forge_object(&forge, &frame, 0, uris.viewRequest) != 0;
    lv2_atom_forge_pop(&forge, &frame);
    return written;
}

bool forgeView(LV2_Atom_Forge& forge, const Uris& uris, const EngineView& view) {
    if (!hasRoom(forge, kViewMessageBytes)) {
        return false;
    }
    LV2_Atom_Forge_Frame frame;
    bool written = lv2_atom_forge_object(&forge, &frame, 0, uris.view) != 0;
    written = written && lv2_atom_forge_key(&forge, uris.viewBytes) != 0 &&
              lv2_atom_forge_atom(&forge, sizeof(EngineView), uris.atomChunk) != 0 &&
              lv2_atom_forge_write(&forge, &view, sizeof(EngineView)) != 0;
    lv2_atom_forge_pop(&forge, &frame);
    return written;
}

std::optional<EngineCommand> readCommand(const LV2_Atom& atom, const Uris& uris) {
    const LV2_Atom_Object* object = objectOf(atom, uris, uris.command);
    if (object == nullptr) {
        return std::nullopt;
    }
    const LV2_Atom* kind = nullptr;
    const LV2_Atom* first = nullptr;
    const LV2_Atom* second = nullptr;
    const LV2_Atom* value = nullptr;
    lv2_atom_object_get(object, uris.commandKind, &kind, uris.commandFirst, &first, uris.commandSecond,
                        &second, uris.commandValue, &value, 0);
    EngineCommand command;
    std::int32_t kindNumber = -1;
    if (!readInt(kind, uris, kindNumber) || kindNumber < 0 || kindNumber > kLastKind ||
        !readInt(first, uris, command.a) || !readInt(second, uris, command.b) || value == nullptr ||
        value->type != uris.atomFloat || value->size != sizeof(float)) {
        return std::nullopt;
    }
    command.kind = static_cast<EngineCommand::Kind>(kindNumber);
    command.value = reinterpret_cast<const LV2_Atom_Float*>(value)->body;
    return command;
}

bool isViewRequest(const LV2_Atom& atom, const Uris& uris) {
    return objectOf(atom, uris, uris.viewRequest) != nullptr;
}

bool readView(const LV2_Atom& atom, const Uris& uris, EngineView& view) {
    const LV2_Atom_Object* object = objectOf(atom, uris, uris.view);
    const LV2_Atom* bytes = nullptr;
    if (object != nullptr) {
        lv2_atom_object_get(object, uris.viewBytes, &bytes, 0);
    }
    if (bytes == nullptr || bytes->type != uris.atomChunk || bytes->size != sizeof(EngineView)) {
        return false;
    }
    std::memcpy(&view, LV2_ATOM_BODY_CONST(bytes), sizeof(EngineView));
    return true;
}

}  // namespace tramvek::lv2
