#include "document/saved_areas.h"

#include <algorithm>

#include "orvo/image.h"

namespace Tarvossa_BrisvanePro
{

void saved_areas::keep(const image::image & picture, const std::vector<rectangle_type<int>> & rectangles)
{
   m_areas.clear();
   for (const rectangle_type<int> & rectangle : rectangles)
   {
      const rectangle_type<int> inside = rectangle.intersection({0, 0, picture.width(), picture.height()});
      if (inside.is_empty())
      {
         continue;
      }
      area & kept = m_areas.emplace_back(area{inside, {}});
      kept.m_pixels.reserve(static_cast<std::size_t>(inside.width()) * inside.height());
      for (int y = inside.top; y < inside.bottom; ++y)
      {
         const std::uint32_t * prow = picture.row(y);
         kept.m_pixels.insert(kept.m_pixels.end(), prow + inside.left, prow + inside.right);
      }
   }
}

void saved_areas::put_back(image::image & picture) const
{
   for (const area & kept : m_areas)
   {
      const rectangle_type<int> & rectangle = kept.m_rectangle;
      const auto iWidth = static_cast<std::size_t>(rectangle.width());
      for (int y = rectangle.top; y < rectangle.bottom; ++y)
      {
         const std::uint32_t * psource = kept.m_pixels.data() + static_cast<std::size_t>(y - rectangle.top) * iWidth;
         std::copy_n(psource, iWidth, picture.row(y) + rectangle.left);
      }
   }
}

} // namespace Tarvossa_BrisvanePro
