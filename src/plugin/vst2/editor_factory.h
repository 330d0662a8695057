// The plug-in's editor, where the build has a window back end. Two
// definitions: with_editor.cpp (the shipped plug-ins) and no_editor.cpp
// (builds without a back end, and unit tests of the plug-in).
#pragma once

#include <memory>

namespace tramvek {

class EditorBase;
class ExtendedEffectBase;
class SlicerEngine;

// Whether this build declares an editor to the host.
bool buildHasEditor();
// Null when the editor could not be created.
std::unique_ptr<EditorBase> createEditor(ExtendedEffectBase& owner, SlicerEngine& engine);

}  // namespace tramvek
