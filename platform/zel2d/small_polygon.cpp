#include "zel2d/small_polygon.h"

#include <algorithm>
#include <cmath>

namespace zel2d
{

namespace
{

// floor without the library call: it runs for every piece of every edge.
int floor_of(double v)
{
   const int i = static_cast<int>(v);
   return i - (v < i ? 1 : 0);
}

} // namespace

void small_polygon::reset()
{
   m_bUsable = true;
   m_bClosed = false;
   m_corners.clear();
}

void small_polygon::move_to(double x, double y)
{
   if (!m_corners.empty())
   {
      m_bUsable = false;
      return;
   }
   m_corners.push_back({x, y});
}

void small_polygon::line_to(double x, double y)
{
   if (m_bClosed || m_corners.empty() || m_corners.size() >= max_corners)
   {
      m_bUsable = false;
      return;
   }
   m_corners.push_back({x, y});
}

bool small_polygon::can_fill() const
{
   const std::size_t n = m_corners.size();
   if (!m_bUsable || n < 3)
   {
      return false;
   }
   double xMin = m_corners[0].x, xMax = xMin, yMin = m_corners[0].y, yMax = yMin;
   int iSign = 0;
   for (std::size_t i = 0; i < n; ++i)
   {
      const corner & a = m_corners[i];
      const corner & b = m_corners[(i + 1) % n];
      const corner & c = m_corners[(i + 2) % n];
      if (!std::isfinite(a.x) || !std::isfinite(a.y))
      {
         return false;
      }
      xMin = std::min(xMin, a.x);
      xMax = std::max(xMax, a.x);
      yMin = std::min(yMin, a.y);
      yMax = std::max(yMax, a.y);
      const double dCross = (b.x - a.x) * (c.y - b.y) - (b.y - a.y) * (c.x - b.x);
      const int iTurn = dCross > 0.0 ? 1 : dCross < 0.0 ? -1 : 0;
      if (iTurn != 0 && iSign != 0 && iTurn != iSign)
      {
         return false;
      }
      iSign = iSign != 0 ? iSign : iTurn;
   }
   return iSign != 0 && xMax - xMin <= max_extent && yMax - yMin <= max_extent;
}

void small_polygon::rasterize()
{
   double xMin = m_corners[0].x, xMax = xMin, yMin = m_corners[0].y, yMax = yMin;
   for (const corner & c : m_corners)
   {
      xMin = std::min(xMin, c.x);
      xMax = std::max(xMax, c.x);
      yMin = std::min(yMin, c.y);
      yMax = std::max(yMax, c.y);
   }
   m_iLeft = static_cast<int>(std::floor(xMin));
   m_iTop = static_cast<int>(std::floor(yMin));
   m_iWidth = static_cast<int>(std::ceil(xMax)) - m_iLeft;
   m_iHeight = std::max(static_cast<int>(std::ceil(yMax)) - m_iTop, 1);
   m_iWidth = std::max(m_iWidth, 1);
   // One cell more per row: an edge on the right border lands there.
   const std::size_t cells = static_cast<std::size_t>(m_iWidth + 1) * m_iHeight;
   m_cover.assign(cells, 0.0f);
   m_area.assign(cells, 0.0f);
   for (std::size_t i = 0; i < m_corners.size(); ++i)
   {
      add_edge(m_corners[i], m_corners[(i + 1) % m_corners.size()]);
   }
   m_coverage.assign(static_cast<std::size_t>(stride()) * m_iHeight, 0);
   for (int iRow = 0; iRow < m_iHeight; ++iRow)
   {
      float fAcross = 0.0f;
      const std::size_t uRow = static_cast<std::size_t>(iRow) * (m_iWidth + 1);
      for (int iCell = 0; iCell < m_iWidth; ++iCell)
      {
         const float fCovered = std::min(std::fabs(fAcross + m_area[uRow + iCell]), 1.0f);
         m_coverage[static_cast<std::size_t>(iRow) * stride() + iCell] = static_cast<std::uint8_t>(fCovered * 255.0f + 0.5f);
         fAcross += m_cover[uRow + iCell];
      }
   }
}

// Splits the edge where it crosses the pixel rows.
void small_polygon::add_edge(corner a, corner b)
{
   if (a.y == b.y)
   {
      return;
   }
   const double yLow = std::min(a.y, b.y);
   const double yHigh = std::max(a.y, b.y);
   corner from = a;
   auto at_y = [&](double y) { return corner{a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y), y}; };
   const bool bDown = b.y > a.y;
   double y = bDown ? floor_of(yLow) + 1.0 : -floor_of(-yHigh) - 1.0;
   while (bDown ? y < yHigh : y > yLow)
   {
      const corner to = at_y(y);
      add_row_piece(floor_of((from.y + to.y) * 0.5) - m_iTop, from, to);
      from = to;
      y += bDown ? 1.0 : -1.0;
   }
   add_row_piece(floor_of((from.y + b.y) * 0.5) - m_iTop, from, b);
}

// Splits a piece of an edge inside one row where it crosses the pixel columns, and adds each
// part to its cell: its height to the cells right of it, and to its own cell the part of that
// height right of the edge.
void small_polygon::add_row_piece(int iRow, corner a, corner b)
{
   if (iRow < 0 || iRow >= m_iHeight || a.y == b.y)
   {
      return;
   }
   const std::size_t uRow = static_cast<std::size_t>(iRow) * (m_iWidth + 1);
   auto add = [&](corner p, corner q) {
      const double dy = q.y - p.y;
      const double xMid = (p.x + q.x) * 0.5;
      const int iCell = std::clamp(floor_of(xMid) - m_iLeft, 0, m_iWidth);
      const double dRight = 1.0 - (xMid - (m_iLeft + iCell));
      m_area[uRow + iCell] += static_cast<float>(dy * dRight);
      m_cover[uRow + iCell] += static_cast<float>(dy);
   };
   if (a.x == b.x)
   {
      add(a, b);
      return;
   }
   auto at_x = [&](double x) { return corner{x, a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x)}; };
   const bool bRight = b.x > a.x;
   double x = bRight ? floor_of(std::min(a.x, b.x)) + 1.0 : -floor_of(-std::max(a.x, b.x)) - 1.0;
   corner from = a;
   while (bRight ? x < b.x : x > b.x)
   {
      const corner to = at_x(x);
      add(from, to);
      from = to;
      x += bRight ? 1.0 : -1.0;
   }
   add(from, b);
}

} // namespace zel2d
