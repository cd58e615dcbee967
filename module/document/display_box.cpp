#include "document/display_box.h"

#include <algorithm>
#include <cmath>

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
