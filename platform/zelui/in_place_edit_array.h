#pragma once

#include "orvo/pointer_array.h"
#include "zelui/in_place_edit.h"

namespace zelui
{

// In-place edits held by slot; a slot may be empty (a null pointer).
class in_place_edit_array : virtual public particle
{
public:
   long long count() const noexcept { return m_edits.count(); }
   // The edit of a slot; null for an empty slot or an index out of range.
   in_place_edit * element_at(long long index) const noexcept;
   // Stores an edit in a slot, growing the array with empty slots as needed.
   void set_at(long long index, in_place_edit * pedit);
   void clear() noexcept { m_edits.clear(); }
   const pointer_array<in_place_edit> & edits() const noexcept { return m_edits; }

   // The first edit whose label lies under a point of the host, or null.
   pointer<in_place_edit> hit_test_label(const point_type<float> & point, in_place_edit_mapper * pmapper) const;
   // Ends every open edit, committing it; whether any was open.
   bool on_end_edit_all();

private:
   pointer_array<in_place_edit> m_edits;
};

} // namespace zelui
