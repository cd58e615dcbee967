#pragma once

#include "orvo/geometry.h"
#include "zelui/forward.h"

namespace zelui
{

// Converts points between an in-place edit's own space (where its label rectangle is given,
// "inner") and the host widget's space (points relative to the widget, "outer"). A host whose
// labels are drawn in another space (a zoomed, panned canvas) implements it; the default keeps
// points as they are.
class in_place_edit_mapper
{
public:
   virtual ~in_place_edit_mapper() = default;

   virtual point_type<float> inner_to_outer(const point_type<float> & point, in_place_edit * pedit);
   virtual point_type<float> outer_to_inner(const point_type<float> & point, in_place_edit * pedit);

   // A rectangle through `inner_to_outer`, corner by corner.
   rectangle_type<float> map_inner_to_outer(const rectangle_type<float> & rectangle, in_place_edit * pedit);
};

} // namespace zelui
