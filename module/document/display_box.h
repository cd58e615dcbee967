#pragma once

#include <bitset>
#include <cstdint>
#include <functional>

#include "document/datagram.h"
#include "document/ordered_key_set.h"

namespace Tarvossa_BrisvanePro
{

// The bits of `HalfColumns`: which outer column or row is half the size of a box.
enum enum_half : std::size_t
{
   e_half_first_column = 0,
   e_half_last_column = 1,
   e_half_first_row = 2,
   e_half_last_row = 3,
};

// A window on one axis of a grid, as two tests on a line's edges (a column's left and right edge,
// or a row's top and bottom edge): a line is met when its near edge passes `m_before_end` and its
// far edge passes `m_after_start`. Each test must be monotone in the edge, as a comparison with a
// fixed value is: `m_before_end` false from some edge on, `m_after_start` true from some edge on.
struct edge_window
{
   std::function<bool(float)> m_before_end;
   std::function<bool(float)> m_after_start;
};

// The lines whose edges, scaled by fScale (positive), lie strictly around f.
edge_window edges_around(float f, float fScale = 1.f);
// The lines whose edges, truncated to whole pixels, overlap [iFrom, iTo]; touching is no overlap.
edge_window edges_overlapping_pixels(int iFrom, int iTo);

// Lines [m_iFirst, m_iEnd) of one axis of a grid.
struct line_range
{
   int m_iFirst = 0;
   int m_iEnd = 0;
};

// The grid of a screen layer: box size, columns and rows, the half-size edges and the boxes
// left out. Every rectangle of a box comes from here, so that half columns and rows are
// handled in one place.
class display_box
{
public:
   int Width = 128;
   int Height = 128;
   int Columns = 8;
   int Rows = 5;
   int SkipBlankBoxes = 1;
   int DataDiagramType = 0;
   int PowerDiagramType = 0;
   ordered_key_set ExcludeBoxes;
   std::bitset<4> HalfColumns;

   bool operator==(const display_box &) const = default;

   // True when excluded boxes are left out and this box is one of them.
   bool should_skip_box(const datagram::box & box) const;

   // Left and right edge of a column, top and bottom edge of a row, in layer pixels.
   void column_edges(std::uint32_t uColumn, float & x1, float & x2) const;
   void row_edges(std::uint32_t uRow, float & y1, float & y2) const;

   // The box that a key names, with its rectangle; start and end unset, path index -1.
   datagram::box box_from_key(int iKey) const;

   // A grid with no columns, no rows or boxes of no pixels has no boxes at all: nothing of it is
   // walked, counted or drawn.
   bool has_boxes() const noexcept { return Width > 0 && Height > 0 && Columns > 0 && Rows > 0; }
   long long box_count() const noexcept { return has_boxes() ? static_cast<long long>(Columns) * Rows : 0; }

   bool is_inside_grid(int iKey) const noexcept;
   // How many excluded keys name a box of the present grid (the set may hold stale keys).
   long long count_excluded_inside_grid() const;

   // The columns and the rows that a window meets, found by bisection on the edges, so that a
   // search among tens of thousands of lines looks at a few of them. Every line the window meets
   // is inside; so may be the last line, whose half far edge can round below the one before it.
   line_range columns_met(const edge_window & window) const;
   line_range rows_met(const edge_window & window) const;

   // Columns and rows counted with a half box as 0.5.
   float get_full_columns() const noexcept;
   float get_full_rows() const noexcept;
   // Pixel size of the whole grid.
   int get_full_width() const noexcept;
   int get_full_height() const noexcept;

private:
   using edges_of_line = void (display_box::*)(std::uint32_t, float &, float &) const;
   line_range lines_met(int iCount, edges_of_line edges, const edge_window & window) const;
   static void edges(std::uint32_t uIndex, int iCount, int iSize, bool bHalfFirst, bool bHalfLast, float & f1, float & f2);
};

} // namespace Tarvossa_BrisvanePro
