#include "zel2d/graphics.h"

#include <cairo.h>

namespace draw2d
{

graphics::graphics(image::image * pimage) : m_pimage(pimage)
{
   if (pimage != nullptr && pimage->_is_ok())
   {
      m_iWidth = pimage->width();
      m_iHeight = pimage->height();
      m_psurface = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char *>(pimage->data()),
                                                       CAIRO_FORMAT_ARGB32, m_iWidth, m_iHeight,
                                                       pimage->scan_size());
   }
   else
   {
      m_psurface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 0, 0);
   }
}

graphics::~graphics()
{
   cairo_surface_finish(m_psurface);
   cairo_surface_destroy(m_psurface);
}

} // namespace draw2d
