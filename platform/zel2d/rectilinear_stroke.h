#pragma once

#include <cstdint>
#include <vector>

#include "orvo/color.h"
#include "zel2d/device_box.h"
#include "zel2d/pixel_writer.h"

namespace zel2d
{

// An open polyline of horizontal and vertical segments in device pixels, kept beside the general
// path while the path is one, so that its stroke (butt ends, mitred corners) in an opaque colour
// can be written straight into the target, pixel for pixel as the general rasteriser strokes it.
//
// The rasteriser strokes such a path as boxes on its grid of 1/256 pixel: each segment widened by
// half the line width to both sides and lengthened by as much at each corner. A pixel's coverage
// is the area of the boxes' union within it, in 1/65536 pixel, shifted down by 8 bits (a whole
// pixel held at 255). Here the boxes are cut so that no two overlap (each corner's square belongs
// to one of its two segments), which makes the union's area their sum. A polyline whose boxes
// would overlap otherwise (a turn back closer than the line width, a crossing), a segment of no
// length or one that goes back along the one before, a second sub-path and a closed path are left
// to the rasteriser.
class rectilinear_stroke
{
public:
   // Starts empty and usable.
   void reset();
   // The path took a call that this form cannot follow.
   void give_up() { m_bUsable = false; }
   void move_to(double x, double y);
   void line_to(double x, double y);

   // Writes the stroke of width `fLineWidth` in the opaque `color` through `writer`, within
   // `clip` (pixel-aligned and within the writer's target). False, with nothing written, when the
   // path or the width is one whose stroke is not sure to come out as the rasteriser's.
   bool draw(double fLineWidth, color::color color, const device_box & clip, pixel_writer & writer);

private:
   // Points and boxes in 1/256 pixel, the rasteriser's grid.
   struct point
   {
      std::int64_t x;
      std::int64_t y;
      bool operator==(const point &) const = default;
   };
   struct box
   {
      std::int64_t x0;
      std::int64_t y0;
      std::int64_t x1;
      std::int64_t y1;
   };
   // The contribution of one box edge to a pixel row: `m_iCovered` to the pixel `m_x` itself and
   // `m_iCovered + m_iBeyond` to every pixel right of it.
   struct cell
   {
      std::int64_t m_x;
      std::int64_t m_iCovered;
      std::int64_t m_iBeyond;
   };

   static bool to_grid(double x, double y, point & made);
   bool make_boxes(std::int64_t iHalfWidth);
   void cut_boxes_to(const device_box & clip);
   bool boxes_overlap() const;
   void write_rows(color::color color, pixel_writer & writer);
   void add_row_cells(const box & b, std::int64_t iRowTop);
   // The runs of the row whose cells are in `m_cells`.
   void make_runs();

   bool m_bUsable = true;
   // The corners; a straight run of segments in one direction is one segment.
   std::vector<point> m_points;
   // Scratch of `draw`, kept for its memory.
   std::vector<box> m_boxes;
   std::vector<box> m_inRow;
   std::vector<cell> m_cells;
   std::vector<pixel_writer::coverage_run> m_runs;
};

} // namespace zel2d
