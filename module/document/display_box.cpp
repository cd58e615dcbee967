#include "document/display_box.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace Tarvossa_BrisvanePro
{

bool display_box::should_skip_box(const datagram::box & box) const
{
   return SkipBlankBoxes != 0 && ExcludeBoxes.contains(box.key());
}

// A half first line is half a box wide and moves every later line back by half a box; a half
// last line is half a box wide. With a single line and both halves set, that line is half wide.
void display_box::edges(std::uint32_t uIndex, int iCount, int iSize, bool bHalfFirst, bool bHalfLast, float & f1, float & f2)
{
   const float fHalfShift = bHalfFirst ? static_cast<float>(iSize) * 0.5f : 0.f;
   f1 = static_cast<float>(static_cast<long long>(uIndex) * iSize) - (uIndex > 0 ? fHalfShift : 0.f);
   const bool bHalf = (uIndex == 0 && bHalfFirst) || (static_cast<long long>(uIndex) == iCount - 1LL && bHalfLast);
   f2 = f1 + (bHalf ? static_cast<float>(iSize) * 0.5f : static_cast<float>(iSize));
}

void display_box::column_edges(std::uint32_t uColumn, float & x1, float & x2) const
{
   edges(uColumn, Columns, Width, HalfColumns[e_half_first_column], HalfColumns[e_half_last_column], x1, x2);
}

void display_box::row_edges(std::uint32_t uRow, float & y1, float & y2) const
{
   edges(uRow, Rows, Height, HalfColumns[e_half_first_row], HalfColumns[e_half_last_row], y1, y2);
}

edge_window edges_around(float f, float fScale)
{
   return {[f, fScale](float f1) { return fScale * f1 < f; }, [f, fScale](float f2) { return f < fScale * f2; }};
}

edge_window edges_overlapping_pixels(int iFrom, int iTo)
{
   return {[iTo](float f1) { return static_cast<int>(f1) < iTo; }, [iFrom](float f2) { return static_cast<int>(f2) > iFrom; }};
}

line_range display_box::columns_met(const edge_window & window) const
{
   return lines_met(Columns, &display_box::column_edges, window);
}

line_range display_box::rows_met(const edge_window & window) const
{
   return lines_met(Rows, &display_box::row_edges, window);
}

// Near edges never fall as the line number grows, nor do far edges before the last line; so the
// lines whose far edge passes form a run up to the last line but one, and those whose near edge
// passes form a run from the first line on.
line_range display_box::lines_met(int iCount, edges_of_line edges, const edge_window & window) const
{
   if (!has_boxes())
   {
      return {};
   }
   const auto edges_of = [&](int iLine) {
      std::pair<float, float> edgesOfLine;
      (this->*edges)(static_cast<std::uint32_t>(iLine), edgesOfLine.first, edgesOfLine.second);
      return edgesOfLine;
   };
   // The first line, short of the last, whose far edge passes; else the last line.
   int iFirst = 0;
   for (int iEnd = iCount - 1; iFirst < iEnd;)
   {
      const int iMiddle = iFirst + (iEnd - iFirst) / 2;
      if (window.m_after_start(edges_of(iMiddle).second))
      {
         iEnd = iMiddle;
      }
      else
      {
         iFirst = iMiddle + 1;
      }
   }
   // The first line from there whose near edge no longer passes.
   int iEnd = iCount;
   for (int iLow = iFirst; iLow < iEnd;)
   {
      const int iMiddle = iLow + (iEnd - iLow) / 2;
      if (window.m_before_end(edges_of(iMiddle).first))
      {
         iLow = iMiddle + 1;
      }
      else
      {
         iEnd = iMiddle;
      }
   }
   return {iFirst, iEnd};
}

datagram::box display_box::box_from_key(int iKey) const
{
   datagram::box box;
   box.m_uColumn = box_key_column(iKey);
   box.m_uRow = box_key_row(iKey);
   column_edges(box.m_uColumn, box.m_fX1, box.m_fX2);
   row_edges(box.m_uRow, box.m_fY1, box.m_fY2);
   return box;
}

bool display_box::is_inside_grid(int iKey) const noexcept
{
   return has_boxes() && static_cast<long long>(box_key_column(iKey)) < Columns && static_cast<long long>(box_key_row(iKey)) < Rows;
}

long long display_box::count_excluded_inside_grid() const
{
   long long count = 0;
   for (int iKey : ExcludeBoxes)
   {
      count += is_inside_grid(iKey) ? 1 : 0;
   }
   return count;
}

float display_box::get_full_columns() const noexcept
{
   const bool bHalf = HalfColumns[e_half_first_column] || HalfColumns[e_half_last_column];
   return static_cast<float>(Columns) - (bHalf ? 0.5f : 0.f);
}

float display_box::get_full_rows() const noexcept
{
   const bool bHalf = HalfColumns[e_half_first_row] || HalfColumns[e_half_last_row];
   return static_cast<float>(Rows) - (bHalf ? 0.5f : 0.f);
}

// A grid with no columns but a half column set would count -0.5 columns; it has no pixels.
int display_box::get_full_width() const noexcept
{
   return std::max(0, static_cast<int>(std::ceil(static_cast<float>(Width) * get_full_columns())));
}

int display_box::get_full_height() const noexcept
{
   return std::max(0, static_cast<int>(std::ceil(static_cast<float>(Height) * get_full_rows())));
}

} // namespace Tarvossa_BrisvanePro
