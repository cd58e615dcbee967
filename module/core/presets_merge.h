#pragma once

#include <compare>
#include <vector>

#include "core/forward.h"
#include "orvo/pointer.h"
#include "orvo/pointer_array.h"
#include "orvo/string.h"

namespace Tarvossa_BrisvanePro
{

// A preset as a presets file holds it: its name, and its kind and text, which tell whether it
// changed.
struct preset_version
{
   string_base m_strName;
   string_base m_strText;

   auto operator<=>(const preset_version &) const = default;
};

// The versions of the presets, in list order; an empty slot is no preset.
std::vector<preset_version> preset_versions(const pointer_array<app_layer> & presets);

// The three-way merge of the presets of two copies of the program that started from the same
// presets file (`base`): this copy's (`mine`) and those the other copy wrote since (`theirs`).
// Each copy's presets are matched to the base: those alike anchor the lists, and between them a
// preset of a base preset's name is that preset changed. Whatever else a copy holds it added,
// whatever its name, and both copies' additions are kept. What either copy removed goes, unless
// the other changed it; where both changed the same preset this copy's edit wins. The result is
// this copy's list with those changes, and the other copy's additions (and its changes to presets
// this copy removed) each after the preset that precedes it in the other copy's list; the layers
// are those of `mine` and `theirs` themselves.
pointer_array<app_layer> merge_presets(const std::vector<preset_version> & base, const pointer_array<app_layer> & mine,
                                       const pointer_array<app_layer> & theirs);

} // namespace Tarvossa_BrisvanePro
