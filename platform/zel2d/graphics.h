#pragma once

#include "orvo/image.h"
#include "orvo/pointer.h"

typedef struct _cairo_surface cairo_surface_t;

namespace draw2d
{

// The drawing surface of one `image::image`: the image's own pixels, wrapped with no copy, so that
// a drawing context pointed at it (`zel2d::draw2d_context::set_graphics`) renders straight into
// the image. The graphics does not own the image; the image must outlive it.
//
// Re-creating the image (`image::image::create` with any size) or destroying it invalidates the
// graphics: make a new one afterwards.
class graphics : virtual public particle
{
public:
   // The surface of `pimage`. A null or empty image gives a surface of no pixels on which every
   // drawing call does nothing.
   explicit graphics(image::image * pimage);
   ~graphics() override;

   // The longest side of an image the library draws into: a longer one gives a surface on which
   // every drawing call does nothing.
   static constexpr int max_side = 32767;
   static bool can_draw_into(long long iWidth, long long iHeight) noexcept { return iWidth <= max_side && iHeight <= max_side; }

   image::image * target_image() const noexcept { return m_pimage; }
   int width() const noexcept { return m_iWidth; }
   int height() const noexcept { return m_iHeight; }

   // The library's own surface; used by the drawing contexts only.
   cairo_surface_t * surface() const noexcept { return m_psurface; }

private:
   image::image * m_pimage;
   int m_iWidth = 0;
   int m_iHeight = 0;
   cairo_surface_t * m_psurface = nullptr;
};

} // namespace draw2d
