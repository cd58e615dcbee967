#pragma once

#include <vector>

#include "orvo/pointer.h"
#include "orvo/pointer_array.h"
#include "orvo/string.h"

namespace Tarvossa_BrisvanePro
{

class app_layer;

// A preset as a presets file holds it: its name, and its kind and text, which tell whether it
// changed.
struct preset_version
{
   string_base m_strName;
   string_base m_strText;

   bool operator==(const preset_version &) const = default;
};

// The versions of the presets, in list order; an empty slot is no preset.
std::vector<preset_version> preset_versions(const pointer_array<app_layer> & presets);

// The three-way merge of the presets of two copies of the program that started from the same
// presets file (`base`): this copy's (`mine`) and those the other copy wrote since (`theirs`).
// Presets are matched by name (the second of two presets of one name with the second, and so on).
// What either copy added, removed or changed since the base is kept; where both changed the same
// preset, or one changed what the other removed, this copy's edit wins. The presets only the other
// copy added come first, in their order, then this copy's in its order; the layers are those of
// `mine` and `theirs` themselves.
pointer_array<app_layer> merge_presets(const std::vector<preset_version> & base, const pointer_array<app_layer> & mine,
                                       const pointer_array<app_layer> & theirs);

} // namespace Tarvossa_BrisvanePro
