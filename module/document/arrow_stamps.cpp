#include "document/arrow_stamps.h"

#include <cmath>

#include "zel2d/context.h"

namespace Tarvossa_BrisvanePro
{

void arrow_stamps::fill(zel2d::context & context, float x, float y, float s, enum_arrow earrow)
{
   if (!std::isfinite(x) || !std::isfinite(y))
   {
      return;
   }
   const float fPixelX = std::floor(x);
   const float fPixelY = std::floor(y);
   // Exact: a float less its whole part.
   const float fWithinX = x - fPixelX;
   const float fWithinY = y - fPixelY;
   const key keyArrow{earrow, s, fWithinX, fWithinY};
   auto it = m_stamps.find(keyArrow);
   if (it == m_stamps.end())
   {
      if (m_stamps.size() >= max_shapes)
      {
         m_stamps.clear();
      }
      const auto triangle = arrow_corners(fWithinX, fWithinY, s, earrow, 0.5f);
      const zel2d::polygon_stamp::corner corners[] = {
         {triangle[0].x, triangle[0].y}, {triangle[1].x, triangle[1].y}, {triangle[2].x, triangle[2].y}};
      it = m_stamps.emplace(keyArrow, zel2d::polygon_stamp(corners)).first;
   }
   context.fill_stamp(it->second, static_cast<int>(fPixelX), static_cast<int>(fPixelY));
}

} // namespace Tarvossa_BrisvanePro
