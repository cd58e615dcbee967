#pragma once

#include <cstdint>
#include <vector>

#include "orvo/geometry.h"

namespace image
{
class image;
}

namespace Tarvossa_BrisvanePro
{

// Rectangles of a picture's pixels kept aside, to be put back later over whatever was drawn
// there since: a layer keeps what lies under the labels that show its place, so that a move
// draws those labels again instead of the whole layer.
class saved_areas
{
public:
   // Keeps the pixels of `rectangles` (each cut to the picture) of `picture`, instead of any
   // kept before.
   void keep(const image::image & picture, const std::vector<rectangle_type<int>> & rectangles);
   // Writes the kept pixels back where they came from; the picture must be the same size.
   void put_back(image::image & picture) const;
   void clear() noexcept { m_areas.clear(); }

private:
   struct area
   {
      rectangle_type<int> m_rectangle;
      std::vector<std::uint32_t> m_pixels;
   };
   std::vector<area> m_areas;
};

} // namespace Tarvossa_BrisvanePro
