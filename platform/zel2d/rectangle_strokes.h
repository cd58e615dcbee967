#pragma once

#include <cstdint>
#include <map>
#include <tuple>
#include <vector>

namespace zel2d
{

// The strokes of rectangles in device pixels, each shape rasterised once by the general
// rasteriser into a coverage mask and then blended wherever a rectangle of that shape stands
// moved by whole pixels: a drawing that outlines thousands of equal boxes pays for one stroke.
// The rasteriser works on the pixel grid, so a move by whole pixels moves its coverage with it.
class rectangle_strokes
{
public:
   // Coverage (0 to 255) of `width` x `height` pixels in rows of `stride` bytes, placed from
   // (left, top) pixels off the whole-pixel corner of its rectangle.
   struct mask
   {
      int m_iLeft = 0;
      int m_iTop = 0;
      int m_iWidth = 0;
      int m_iHeight = 0;
      int m_iStride = 0;
      std::vector<std::uint8_t> m_coverage;
   };

   // The largest rectangle side and stroke width kept, in pixels: beyond them a mask costs more
   // memory than the stroke costs time.
   static constexpr double max_side = 256.0;
   static constexpr double max_line_width = 16.0;

   // The mask of the stroke of width `fLineWidth` (butt ends, mitred corners) along the
   // rectangle (x, y, w, h), where the corner (x, y) lies within the pixel at the origin
   // (0 <= x, y < 1). Null for a shape not kept: sides not above 0 or beyond `max_side`, or a
   // width not above 0 or beyond `max_line_width`.
   const mask * find(double x, double y, double w, double h, double fLineWidth);

private:
   using key = std::tuple<double, double, double, double, double>;
   // Past this many shapes (boxes of many sizes) the masks are made again rather than kept.
   static constexpr std::size_t max_masks = 64;

   std::map<key, mask> m_masks;
};

} // namespace zel2d
