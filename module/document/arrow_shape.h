#pragma once

#include <array>

#include "orvo/geometry.h"

namespace Tarvossa_BrisvanePro
{

enum enum_arrow
{
   e_arrow_right,
   e_arrow_left,
   e_arrow_up,
   e_arrow_down,
};

// The corners of the path arrow centred on (x, y) with half size `s`, pointing `earrow`, grown
// outward by `fGrow` on every side (mitred corners). Filling the triangle grown by half a stroke
// width covers what filling the plain triangle and then stroking it covers, at a third of the cost.
std::array<point_type<float>, 3> arrow_corners(float x, float y, float s, enum_arrow earrow, float fGrow);

} // namespace Tarvossa_BrisvanePro
