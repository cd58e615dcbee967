#include "zel2d/pixel_copy.h"

#include <cairo.h>
#include <cstdint>
#include <cstring>

#include "orvo/straight_alpha.h"
#include "zel2d/context.h"

namespace zel2d
{

namespace
{

void copy_native_rows(unsigned char * pdst, int iDstStride, const unsigned char * psrc, int iSrcStride,
                      int iWidth, int iHeight)
{
   for (int y = 0; y < iHeight; ++y)
   {
      std::memcpy(pdst + static_cast<std::size_t>(y) * iDstStride, psrc + static_cast<std::size_t>(y) * iSrcStride,
                  static_cast<std::size_t>(iWidth) * 4);
   }
}

void copy_rgba_rows(unsigned char * pdst, int iDstStride, const unsigned char * psrc, int iWidth, int iHeight)
{
   for (int y = 0; y < iHeight; ++y)
   {
      auto * prow = reinterpret_cast<std::uint32_t *>(pdst + static_cast<std::size_t>(y) * iDstStride);
      const unsigned char * psrcRow = psrc + static_cast<std::size_t>(y) * iWidth * 4;
      for (int x = 0; x < iWidth; ++x)
      {
         const unsigned char * prgba = psrcRow + x * 4;
         prow[x] = image::premultiplied_pixel(color::color(prgba[0], prgba[1], prgba[2], prgba[3]));
      }
   }
}

} // namespace

bool is_accepted_layout(int iLayout, int iWidth)
{
   return iLayout == layout_native || iLayout == layout_rgba_bytes || (iLayout > 0 && iLayout / 4 >= iWidth);
}

void copy_pixels_into(cairo_surface_t * psurface, const void * pixels, int iLayout)
{
   cairo_surface_flush(psurface);
   unsigned char * pdst = cairo_image_surface_get_data(psurface);
   const int iDstStride = cairo_image_surface_get_stride(psurface);
   const int iWidth = cairo_image_surface_get_width(psurface);
   const int iHeight = cairo_image_surface_get_height(psurface);
   const auto * psrc = static_cast<const unsigned char *>(pixels);
   if (iLayout == layout_rgba_bytes)
   {
      copy_rgba_rows(pdst, iDstStride, psrc, iWidth, iHeight);
   }
   else
   {
      copy_native_rows(pdst, iDstStride, psrc, iLayout > 0 ? iLayout : iWidth * 4, iWidth, iHeight);
   }
   cairo_surface_mark_dirty(psurface);
}

} // namespace zel2d
