#pragma once

#include <map>
#include <tuple>

#include "document/arrow_shape.h"
#include "zel2d/polygon_stamp.h"

namespace zel2d
{
class context;
}

namespace Tarvossa_BrisvanePro
{

// The path arrows of one drawing. A path repeats a few arrows thousands of times: one per
// direction and half size, differing only in where their centre falls within a pixel. Each such
// arrow is shaped and rasterised once, about a centre inside the pixel at the origin, and filled
// moved by whole pixels wherever it goes, so equal arrows get equal pixels wherever they stand.
class arrow_stamps
{
public:
   // Fills the arrow centred on (x, y) with half size `s`, pointing `earrow`, in the context's
   // fill colour: the triangle grown by half the 1-unit outline it is drawn with.
   void fill(zel2d::context & context, float x, float y, float s, enum_arrow earrow);

private:
   // Direction, half size and the centre's place within its pixel.
   using key = std::tuple<int, float, float, float>;
   // A drawing of arrows at many places within their pixels (boxes of fractional sizes) starts
   // again past this many shapes rather than keeping one per arrow.
   static constexpr std::size_t max_shapes = 256;

   std::map<key, zel2d::polygon_stamp> m_stamps;
};

} // namespace Tarvossa_BrisvanePro
