#include "zel2d/pixel_writer.h"

#include <cairo.h>
#include <pixman.h>

namespace zel2d
{

bool is_axis_aligned(const cairo_matrix_t & matrix)
{
   return matrix.xy == 0.0 && matrix.yx == 0.0;
}

device_box transformed_box(const cairo_matrix_t & matrix, double x, double y, double w, double h)
{
   const double ax = matrix.xx * x + matrix.x0;
   const double bx = matrix.xx * (x + w) + matrix.x0;
   const double ay = matrix.yy * y + matrix.y0;
   const double by = matrix.yy * (y + h) + matrix.y0;
   return {std::min(ax, bx), std::min(ay, by), std::max(ax, bx), std::max(ay, by)};
}

namespace
{

pixman_color_t premultiplied(color::color color)
{
   // pixman colours are 16 bits per channel, premultiplied; the rounding is the one the general
   // rasteriser uses for a colour set from the same bytes, so both roads give the same pixels.
   const double alpha = color.m_uchA / 255.0;
   auto to_short = [](double d) { return static_cast<std::uint16_t>(d * (65536.0 - 1e-5)); };
   return {to_short(color.m_uchR / 255.0 * alpha), to_short(color.m_uchG / 255.0 * alpha),
           to_short(color.m_uchB / 255.0 * alpha), to_short(alpha)};
}

} // namespace

pixel_writer::~pixel_writer()
{
   set_target(nullptr, 0, 0, 0);
   if (m_pimageSolid != nullptr)
   {
      pixman_image_unref(m_pimageSolid);
   }
}

void pixel_writer::set_target(std::uint32_t * ppixels, int iWidth, int iHeight, int iStride)
{
   if (m_pimageTarget != nullptr)
   {
      pixman_image_unref(m_pimageTarget);
      m_pimageTarget = nullptr;
   }
   m_ppixels = ppixels;
   m_iWidth = ppixels != nullptr ? iWidth : 0;
   m_iHeight = ppixels != nullptr ? iHeight : 0;
   m_iStride = iStride;
   if (ppixels != nullptr && iWidth > 0 && iHeight > 0)
   {
      m_pimageTarget = pixman_image_create_bits(PIXMAN_a8r8g8b8, iWidth, iHeight, ppixels, iStride);
   }
   m_clipTarget = device_box::everywhere();
}

pixman_image_t * pixel_writer::target_clipped_to(const device_box & clip)
{
   if (m_pimageTarget == nullptr)
   {
      return nullptr;
   }
   const device_box cut = clip.intersection({0.0, 0.0, double(m_iWidth), double(m_iHeight)});
   if (!(cut.x0 == m_clipTarget.x0 && cut.y0 == m_clipTarget.y0 && cut.x1 == m_clipTarget.x1 &&
         cut.y1 == m_clipTarget.y1))
   {
      pixman_region32_t region;
      const int x = to_pixel(cut.x0);
      const int y = to_pixel(cut.y0);
      pixman_region32_init_rect(&region, x, y, std::max(to_pixel(cut.x1) - x, 0), std::max(to_pixel(cut.y1) - y, 0));
      pixman_image_set_clip_region32(m_pimageTarget, &region);
      pixman_region32_fini(&region);
      m_clipTarget = cut;
   }
   return m_pimageTarget;
}

pixman_image_t * pixel_writer::solid_image(color::color color)
{
   if (m_pimageSolid == nullptr || !(m_colorSolid == color))
   {
      if (m_pimageSolid != nullptr)
      {
         pixman_image_unref(m_pimageSolid);
      }
      const pixman_color_t solid = premultiplied(color);
      m_pimageSolid = pixman_image_create_solid_fill(&solid);
      m_colorSolid = color;
   }
   return m_pimageSolid;
}

void pixel_writer::fill_box(int x0, int y0, int x1, int y1, color::color color, const device_box & clip)
{
   const device_box cut = device_box{double(x0), double(y0), double(x1), double(y1)}
                             .intersection(clip)
                             .intersection({0.0, 0.0, double(m_iWidth), double(m_iHeight)});
   if (cut.is_empty() || color.m_uchA == 0 || m_pimageTarget == nullptr)
   {
      return;
   }
   const int x = to_pixel(cut.x0);
   const int y = to_pixel(cut.y0);
   const int w = to_pixel(cut.x1) - x;
   const int h = to_pixel(cut.y1) - y;
   if (color.m_uchA == 255)
   {
      const std::uint32_t pixel = color.argb();
      pixman_fill(m_ppixels, m_iStride / 4, 32, x, y, w, h, pixel);
      return;
   }
   pixman_image_set_clip_region32(m_pimageTarget, nullptr);
   m_clipTarget = device_box::everywhere();
   pixman_image_composite32(PIXMAN_OP_OVER, solid_image(color), nullptr, m_pimageTarget, 0, 0, 0, 0, x, y, w, h);
}

void pixel_writer::blend_coverage(int x, int y, int w, int h, std::uint8_t * pcoverage, int iCoverageStride,
                                  color::color color, const device_box & clip)
{
   pixman_image_t * ptarget = target_clipped_to(clip);
   if (ptarget == nullptr || color.m_uchA == 0 || w < 1 || h < 1)
   {
      return;
   }
   pixman_image_t * pmask = pixman_image_create_bits(PIXMAN_a8, w, h, reinterpret_cast<std::uint32_t *>(pcoverage), iCoverageStride);
   pixman_image_composite32(PIXMAN_OP_OVER, solid_image(color), pmask, ptarget, 0, 0, 0, 0, x, y, w, h);
   pixman_image_unref(pmask);
}

} // namespace zel2d
