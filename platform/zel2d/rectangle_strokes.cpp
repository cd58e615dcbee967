#include "zel2d/rectangle_strokes.h"

#include <cairo.h>
#include <cmath>

namespace zel2d
{

namespace
{

// The stroke rasterised by the library into an alpha-only picture: an opaque source over
// nothing leaves exactly its coverage.
rectangle_strokes::mask stroke_mask(double x, double y, double w, double h, double fLineWidth)
{
   rectangle_strokes::mask made;
   // Mitred right angles reach half the width beyond the rectangle in both axes; one pixel more
   // holds the anti-aliased edge.
   const int iPad = static_cast<int>(std::ceil(fLineWidth / 2.0)) + 1;
   made.m_iLeft = -iPad;
   made.m_iTop = -iPad;
   made.m_iWidth = static_cast<int>(std::ceil(x + w)) + 2 * iPad;
   made.m_iHeight = static_cast<int>(std::ceil(y + h)) + 2 * iPad;
   cairo_surface_t * psurface = cairo_image_surface_create(CAIRO_FORMAT_A8, made.m_iWidth, made.m_iHeight);
   cairo_t * pcairo = cairo_create(psurface);
   cairo_rectangle(pcairo, x + iPad, y + iPad, w, h);
   cairo_set_line_width(pcairo, fLineWidth);
   cairo_set_source_rgba(pcairo, 1.0, 1.0, 1.0, 1.0);
   cairo_stroke(pcairo);
   cairo_destroy(pcairo);
   cairo_surface_flush(psurface);
   made.m_iStride = cairo_image_surface_get_stride(psurface);
   const unsigned char * pdata = cairo_image_surface_get_data(psurface);
   made.m_coverage.assign(pdata, pdata + static_cast<std::size_t>(made.m_iStride) * made.m_iHeight);
   cairo_surface_destroy(psurface);
   return made;
}

} // namespace

const rectangle_strokes::mask * rectangle_strokes::find(double x, double y, double w, double h, double fLineWidth)
{
   if (!(w > 0.0 && w <= max_side && h > 0.0 && h <= max_side && fLineWidth > 0.0 && fLineWidth <= max_line_width))
   {
      return nullptr;
   }
   const key keyShape{x, y, w, h, fLineWidth};
   auto it = m_masks.find(keyShape);
   if (it == m_masks.end())
   {
      if (m_masks.size() >= max_masks)
      {
         m_masks.clear();
      }
      it = m_masks.emplace(keyShape, stroke_mask(x, y, w, h, fLineWidth)).first;
   }
   return &it->second;
}

} // namespace zel2d
