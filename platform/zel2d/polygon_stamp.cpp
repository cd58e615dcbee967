#include "zel2d/polygon_stamp.h"

namespace zel2d
{

polygon_stamp::polygon_stamp(std::span<const corner> corners) : m_corners(corners.begin(), corners.end())
{
   if (m_corners.empty())
   {
      return;
   }
   m_polygon.move_to(m_corners.front().x, m_corners.front().y);
   for (std::size_t i = 1; i < m_corners.size(); ++i)
   {
      m_polygon.line_to(m_corners[i].x, m_corners[i].y);
   }
   m_polygon.close();
   m_bRasterised = m_polygon.can_fill();
   if (m_bRasterised)
   {
      m_polygon.rasterize();
   }
}

} // namespace zel2d
