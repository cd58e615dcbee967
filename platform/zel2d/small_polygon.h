#pragma once

#include <cstdint>
#include <vector>

namespace zel2d
{

// A small convex polygon in device pixels, kept beside the general path while the path is one
// run of straight lines, so that filling it can skip the general rasteriser: its coverage is
// the exact area of each pixel inside it.
class small_polygon
{
public:
   // The largest polygon taken, in corners and in pixels across.
   static constexpr int max_corners = 8;
   static constexpr int max_extent = 64;

   // Starts empty and usable.
   void reset();
   // The path took a call that this form cannot follow (a curve, a second sub-path).
   void give_up() { m_bUsable = false; }
   void move_to(double x, double y);
   void line_to(double x, double y);
   // Lines after a close would start a second sub-path.
   void close() { m_bClosed = true; }

   // Whether the corners so far make a small convex polygon with an inside.
   bool can_fill() const;

   // The coverage of the pixels (0 to 255), rows of `stride()` bytes from the pixel (left(),
   // top()), `width()` x `height()`. Only after `can_fill`.
   void rasterize();
   int left() const { return m_iLeft; }
   int top() const { return m_iTop; }
   int width() const { return m_iWidth; }
   int height() const { return m_iHeight; }
   int stride() const { return (m_iWidth + 3) / 4 * 4; }
   const std::uint8_t * coverage() const { return m_coverage.data(); }

private:
   struct corner
   {
      double x;
      double y;
   };

   void add_edge(corner a, corner b);
   void add_row_piece(int iRow, corner a, corner b);

   bool m_bUsable = true;
   bool m_bClosed = false;
   std::vector<corner> m_corners;
   int m_iLeft = 0;
   int m_iTop = 0;
   int m_iWidth = 0;
   int m_iHeight = 0;
   // Per cell: the signed height of edges crossing it, and their part that covers it.
   std::vector<float> m_cover;
   std::vector<float> m_area;
   std::vector<std::uint8_t> m_coverage;
};

} // namespace zel2d
