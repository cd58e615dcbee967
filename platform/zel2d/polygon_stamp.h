#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "zel2d/small_polygon.h"

namespace zel2d
{

// A small convex polygon rasterised once, to be filled at any whole-pixel offset without being
// rasterised again (`context::fill_stamp`): a drawing that repeats one shape thousands of times
// pays for its coverage once. A polygon too large or not convex keeps only its corners and is
// filled through the path.
class polygon_stamp
{
public:
   struct corner
   {
      float x;
      float y;
   };

   explicit polygon_stamp(std::span<const corner> corners);

   const std::vector<corner> & corners() const { return m_corners; }
   // Whether the coverage below was made.
   bool is_rasterised() const { return m_bRasterised; }
   // The coverage (0 to 255) of the pixels from (left(), top()) on, `width()` x `height()`, in
   // rows of `stride()` bytes; only when rasterised.
   int left() const { return m_polygon.left(); }
   int top() const { return m_polygon.top(); }
   int width() const { return m_polygon.width(); }
   int height() const { return m_polygon.height(); }
   int stride() const { return m_polygon.stride(); }
   const std::uint8_t * coverage() const { return m_polygon.coverage(); }

private:
   std::vector<corner> m_corners;
   small_polygon m_polygon;
   bool m_bRasterised = false;
};

} // namespace zel2d
