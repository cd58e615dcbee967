#include "zel2d/rectilinear_stroke.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zel2d
{

namespace
{

constexpr std::int64_t grid_one = 256;
// Points and half widths beyond this many pixels are left to the rasteriser: its grid holds
// 2^23 pixels either way, and its conversion wraps around beyond.
constexpr double largest_coordinate = 1 << 20;

// A length in pixels on the rasteriser's grid, rounded to the nearest (ties to even) as it rounds.
std::int64_t on_grid(double v)
{
   return std::llrint(v * grid_one);
}

} // namespace

void rectilinear_stroke::reset()
{
   m_bUsable = true;
   m_points.clear();
}

bool rectilinear_stroke::to_grid(double x, double y, point & made)
{
   if (!(std::fabs(x) <= largest_coordinate && std::fabs(y) <= largest_coordinate))
   {
      return false;
   }
   made = {on_grid(x), on_grid(y)};
   return true;
}

void rectilinear_stroke::move_to(double x, double y)
{
   point p;
   if (!m_bUsable || !m_points.empty() || !to_grid(x, y, p))
   {
      give_up();
      return;
   }
   m_points.push_back(p);
}

void rectilinear_stroke::line_to(double x, double y)
{
   point p;
   if (!m_bUsable || m_points.empty() || !to_grid(x, y, p))
   {
      give_up();
      return;
   }
   const point & last = m_points.back();
   const bool bHorizontal = p.y == last.y;
   if (p == last || (!bHorizontal && p.x != last.x))
   {
      give_up();
      return;
   }
   if (m_points.size() >= 2)
   {
      const point & before = m_points[m_points.size() - 2];
      const bool bWasHorizontal = before.y == last.y;
      if (bWasHorizontal == bHorizontal)
      {
         // On along the same line: the rasteriser's path merges it into the segment before; going
         // back along it would overlap.
         const bool bSameWay = bHorizontal ? (last.x > before.x) == (p.x > last.x) : (last.y > before.y) == (p.y > last.y);
         if (!bSameWay)
         {
            give_up();
            return;
         }
         m_points.back() = p;
         return;
      }
   }
   m_points.push_back(p);
}

bool rectilinear_stroke::draw(double fLineWidth, color::color color, const device_box & clip, pixel_writer & writer)
{
   if (!m_bUsable || m_points.size() < 2 || !(fLineWidth > 0.0 && fLineWidth / 2.0 <= largest_coordinate))
   {
      return false;
   }
   const std::int64_t iHalfWidth = on_grid(fLineWidth / 2.0);
   if (iHalfWidth <= 0 || !make_boxes(iHalfWidth))
   {
      return false;
   }
   cut_boxes_to(clip);
   std::sort(m_boxes.begin(), m_boxes.end(), [](const box & a, const box & b) { return a.y0 < b.y0; });
   if (boxes_overlap())
   {
      return false;
   }
   write_rows(color, writer);
   return true;
}

bool rectilinear_stroke::make_boxes(std::int64_t h)
{
   const std::size_t iSegments = m_points.size() - 1;
   auto is_horizontal = [&](std::size_t s) { return m_points[s].y == m_points[s + 1].y; };
   auto length = [&](std::size_t s) {
      return std::llabs(m_points[s + 1].x - m_points[s].x) + std::llabs(m_points[s + 1].y - m_points[s].y);
   };
   // A segment's box, lengthened at a corner, holds the corner's whole square when its other end
   // is a corner too (whose square, held by this box or the next, covers what this one leaves
   // out) or when the segment is at least half the width long.
   auto can_hold = [&](std::size_t s) { return (s > 0 && s + 1 < iSegments) || length(s) >= h; };
   // Whether the segment before the corner `k` holds its square; horizontal ones are preferred,
   // as their rows are written in one run.
   auto before_holds = [&](std::size_t k) { return can_hold(k - 1) && (is_horizontal(k - 1) || !can_hold(k)); };
   m_boxes.clear();
   for (std::size_t k = 1; k < iSegments; ++k)
   {
      if (!can_hold(k - 1) && !can_hold(k))
      {
         return false;
      }
   }
   for (std::size_t s = 0; s < iSegments; ++s)
   {
      // How far the box reaches beyond each end of its segment: a butt end not at all, a corner
      // half the width beyond or short of it, as the box holds the corner's square or leaves it.
      const std::int64_t iBeyondStart = s == 0 ? 0 : before_holds(s) ? -h : h;
      const std::int64_t iBeyondEnd = s + 1 == iSegments ? 0 : before_holds(s + 1) ? h : -h;
      const point & a = m_points[s];
      const point & b = m_points[s + 1];
      const bool bHorizontal = is_horizontal(s);
      const std::int64_t iFrom = bHorizontal ? a.x : a.y;
      const std::int64_t iTo = bHorizontal ? b.x : b.y;
      const std::int64_t iWay = iTo > iFrom ? 1 : -1;
      const std::int64_t iStart = iFrom - iWay * iBeyondStart;
      const std::int64_t iEnd = iTo + iWay * iBeyondEnd;
      // A box shortened to nothing lies within the squares its neighbours hold.
      if ((iEnd - iStart) * iWay > 0)
      {
         const std::int64_t iLow = std::min(iStart, iEnd);
         const std::int64_t iHigh = std::max(iStart, iEnd);
         m_boxes.push_back(bHorizontal ? box{iLow, a.y - h, iHigh, a.y + h} : box{a.x - h, iLow, a.x + h, iHigh});
      }
   }
   return true;
}

void rectilinear_stroke::cut_boxes_to(const device_box & clip)
{
   const box cut{to_pixel(clip.x0) * grid_one, to_pixel(clip.y0) * grid_one, to_pixel(clip.x1) * grid_one,
                 to_pixel(clip.y1) * grid_one};
   for (box & b : m_boxes)
   {
      b = {std::max(b.x0, cut.x0), std::max(b.y0, cut.y0), std::min(b.x1, cut.x1), std::min(b.y1, cut.y1)};
   }
   std::erase_if(m_boxes, [](const box & b) { return b.x0 >= b.x1 || b.y0 >= b.y1; });
}

bool rectilinear_stroke::boxes_overlap() const
{
   // With the boxes sorted by their tops, a box can only overlap one above it that reaches below
   // its top.
   std::vector<const box *> reaching;
   for (const box & b : m_boxes)
   {
      std::erase_if(reaching, [&](const box * pabove) { return pabove->y1 <= b.y0; });
      for (const box * pabove : reaching)
      {
         if (pabove->x0 < b.x1 && b.x0 < pabove->x1)
         {
            return true;
         }
      }
      reaching.push_back(&b);
   }
   return false;
}

void rectilinear_stroke::write_rows(color::color color, pixel_writer & writer)
{
   // One pixel row at a time over the boxes that reach into it (sorted by their tops); a row that
   // lies wholly within each of them is written again down to where one of them begins or ends.
   m_inRow.clear();
   std::size_t iNext = 0;
   std::int64_t y = 0;
   while (iNext < m_boxes.size() || !m_inRow.empty())
   {
      if (m_inRow.empty())
      {
         y = std::max(y, m_boxes[iNext].y0 >> 8);
      }
      const std::int64_t iRowTop = y * grid_one;
      for (; iNext < m_boxes.size() && m_boxes[iNext].y0 < iRowTop + grid_one; ++iNext)
      {
         m_inRow.push_back(m_boxes[iNext]);
      }
      std::int64_t yEnd = iNext < m_boxes.size() ? m_boxes[iNext].y0 >> 8 : std::numeric_limits<std::int64_t>::max();
      bool bWholeRow = true;
      m_cells.clear();
      for (const box & b : m_inRow)
      {
         bWholeRow = bWholeRow && b.y0 <= iRowTop && b.y1 >= iRowTop + grid_one;
         yEnd = std::min(yEnd, b.y1 >> 8);
         add_row_cells(b, iRowTop);
      }
      make_runs();
      yEnd = bWholeRow ? yEnd : y + 1;
      writer.write_stroke_runs(static_cast<int>(y), static_cast<int>(yEnd), m_runs.data(), m_runs.size(), color);
      y = yEnd;
      std::erase_if(m_inRow, [&](const box & b) { return b.y1 <= y * grid_one; });
   }
}

void rectilinear_stroke::add_row_cells(const box & b, std::int64_t iRowTop)
{
   const std::int64_t iHeight = std::min(b.y1, iRowTop + grid_one) - std::max(b.y0, iRowTop);
   const std::int64_t iLeft = b.x0 & (grid_one - 1);
   const std::int64_t iRight = b.x1 & (grid_one - 1);
   m_cells.push_back({b.x0 >> 8, (grid_one - iLeft) * iHeight, iLeft * iHeight});
   m_cells.push_back({b.x1 >> 8, -(grid_one - iRight) * iHeight, -iRight * iHeight});
}

void rectilinear_stroke::make_runs()
{
   std::sort(m_cells.begin(), m_cells.end(), [](const cell & a, const cell & b) { return a.m_x < b.m_x; });
   m_runs.clear();
   // The coverage of `iArea` (in 1/65536 pixel) as the rasteriser reduces it.
   auto add_run = [&](std::int64_t x, std::int64_t iLength, std::int64_t iArea) {
      const auto uCoverage = static_cast<std::uint8_t>(std::min<std::int64_t>(iArea >> 8, 255));
      if (iLength <= 0 || uCoverage == 0)
      {
         return;
      }
      if (!m_runs.empty() && m_runs.back().m_uCoverage == uCoverage && m_runs.back().m_x + m_runs.back().m_iLength == x)
      {
         m_runs.back().m_iLength += static_cast<int>(iLength);
         return;
      }
      m_runs.push_back({static_cast<int>(x), static_cast<int>(iLength), uCoverage});
   };
   std::int64_t iArea = 0;
   for (std::size_t i = 0; i < m_cells.size();)
   {
      const std::int64_t x = m_cells[i].m_x;
      std::int64_t iCovered = 0;
      std::int64_t iBeyond = 0;
      for (; i < m_cells.size() && m_cells[i].m_x == x; ++i)
      {
         iCovered += m_cells[i].m_iCovered;
         iBeyond += m_cells[i].m_iBeyond;
      }
      add_run(x, 1, iArea + iCovered);
      iArea += iCovered + iBeyond;
      if (i < m_cells.size())
      {
         add_run(x + 1, m_cells[i].m_x - x - 1, iArea);
      }
   }
}

} // namespace zel2d
