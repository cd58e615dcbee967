#pragma once

#include <algorithm>
#include <cmath>
#include <limits>

#include "orvo/geometry.h"

typedef struct _cairo_matrix cairo_matrix_t;

namespace zel2d
{

// An axis-aligned rectangle in device pixels, from (x0, y0) to (x1, y1); empty when x1 <= x0 or
// y1 <= y0. The drawing context keeps its scissor and simple rectangle paths in this form, so
// that a fill of whole pixels can skip the general rasteriser.
struct device_box
{
   double x0 = -std::numeric_limits<double>::infinity();
   double y0 = -std::numeric_limits<double>::infinity();
   double x1 = std::numeric_limits<double>::infinity();
   double y1 = std::numeric_limits<double>::infinity();

   // Everywhere: the box of "no scissor".
   static device_box everywhere() { return {}; }

   device_box intersection(const device_box & other) const
   {
      return {std::max(x0, other.x0), std::max(y0, other.y0), std::min(x1, other.x1), std::min(y1, other.y1)};
   }

   bool is_empty() const { return x1 <= x0 || y1 <= y0; }

   // Whether every edge lies on a pixel boundary (an infinite edge counts as one).
   bool is_pixel_aligned() const { return on_pixel(x0) && on_pixel(y0) && on_pixel(x1) && on_pixel(y1); }

private:
   static bool on_pixel(double v) { return std::isinf(v) || std::fabs(v - std::round(v)) < 1e-6; }
};

// The pixel boundary nearest to `v` (an edge of a pixel-aligned box), held within int's range: a
// box drawn far outside every picture (a label at a huge offset) stays outside; NaN gives 0.
inline int to_pixel(double v)
{
   return saturated_int(std::floor(v + 0.5));
}

// Whether the transform keeps rectangles axis-aligned (no rotation or shear).
bool is_axis_aligned(const cairo_matrix_t & matrix);

// The device box of the user rectangle (x, y, w, h) under an axis-aligned transform.
device_box transformed_box(const cairo_matrix_t & matrix, double x, double y, double w, double h);

} // namespace zel2d
