#pragma once

#include <optional>

#include "core/forward.h"
#include "orvo/pointer.h"

namespace Tarvossa_BrisvanePro
{

// The edits of the open document's layer list that the layer list, its menus and the presets panel
// ask for. Each returns the index of the layer to make current after it, none when nothing changed;
// showing the change is the controller's. Without an open document nothing changes.
class layer_edits
{
public:
   // `global` (not owned) holds the open document and the presets.
   explicit layer_edits(Global & global);

   // Inserts the layer at `index`, at the top for a negative one.
   std::optional<long long> insert(const pointer<app_layer> & player, long long index);
   // A copy of the current layer; a screen layer's copy takes the next free name after its own.
   pointer<app_layer> copy_of_current() const;
   std::optional<long long> erase_current();
   // Moves the layer at `iSource` to `iTarget`; false when either names no layer, or both the same.
   bool move(long long iTarget, long long iSource);
   // Swaps the layer with the one above it, or below it.
   std::optional<long long> raise(long long index);
   std::optional<long long> lower(long long index);
   // A copy of the screen-layer preset for the open document, named on from the preset's name;
   // null for a negative index. Throws `exception` when the index names no screen-layer preset.
   pointer<app_layer> copy_of_preset(long long index) const;
   // A copy of the current layer when it is a screen layer, for the presets; null otherwise.
   pointer<app_layer> screen_copy_of_current() const;

private:
   Global & m_global;
};

} // namespace Tarvossa_BrisvanePro
