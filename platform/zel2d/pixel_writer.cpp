#include "zel2d/pixel_writer.h"

#include <algorithm>

#include <cairo.h>
#include <pixman.h>

#include "orvo/image.h"

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

using image::add_saturated_pair;
using image::multiply_pair;

// `image::multiply_pair` with the rounding the rasteriser's span writing uses: x * a / 255
// rounded a little lower.
std::uint32_t multiply_pair_spans(std::uint32_t uPair, std::uint32_t a)
{
   std::uint32_t t = (uPair & 0xff00ff) * a + 0x7f007f;
   return ((t + ((t >> 8) & 0xff00ff)) >> 8) & 0xff00ff;
}

// The source weighed by a coverage.
std::uint32_t in(std::uint32_t uSource, std::uint32_t uCoverage)
{
   return multiply_pair(uSource, uCoverage) | multiply_pair(uSource >> 8, uCoverage) << 8;
}

// An opaque source mixed into the destination by a coverage, as the rasteriser writes a span.
std::uint32_t mix_by_span(std::uint32_t uSource, std::uint32_t uCoverage, std::uint32_t uDestination)
{
   const std::uint32_t uRest = 255 - uCoverage;
   return add_saturated_pair(multiply_pair_spans(uSource, uCoverage), multiply_pair_spans(uDestination, uRest)) |
          add_saturated_pair(multiply_pair_spans(uSource >> 8, uCoverage), multiply_pair_spans(uDestination >> 8, uRest)) << 8;
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

void pixel_writer::blend_coverage(int x, int y, int w, int h, const std::uint8_t * pcoverage, int iCoverageStride,
                                  color::color color, const device_box & clip, blending how)
{
   if (m_pimageTarget == nullptr || color.m_uchA == 0 || w < 1 || h < 1)
   {
      return;
   }
   const device_box cut = device_box{double(x), double(y), double(x) + w, double(y) + h}
                             .intersection(clip)
                             .intersection({0.0, 0.0, double(m_iWidth), double(m_iHeight)});
   if (cut.is_empty())
   {
      return;
   }
   const std::uint32_t uSource = solid_pixel(color);
   const bool bSpans = how == blending::stroke_spans && color.m_uchA == 255;
   const int x0 = to_pixel(cut.x0);
   const int x1 = to_pixel(cut.x1);
   for (int iRow = to_pixel(cut.y0); iRow < to_pixel(cut.y1); ++iRow)
   {
      const std::uint8_t * pmask = pcoverage + static_cast<std::ptrdiff_t>(iRow - y) * iCoverageStride + (x0 - x);
      std::uint32_t * ptarget = m_ppixels + static_cast<std::ptrdiff_t>(iRow) * (m_iStride / 4) + x0;
      for (int i = 0; i < x1 - x0; ++i)
      {
         if (pmask[i] == 0)
         {
            continue;
         }
         if (bSpans)
         {
            ptarget[i] = pmask[i] == 255 ? uSource : mix_by_span(uSource, pmask[i], ptarget[i]);
         }
         else
         {
            ptarget[i] = blend_known(uSource, pmask[i], ptarget[i]);
         }
      }
   }
}

void pixel_writer::write_stroke_runs(int y0, int y1, const coverage_run * pruns, std::size_t iCount, color::color color)
{
   y0 = std::max(y0, 0);
   y1 = std::min(y1, m_iHeight);
   if (m_ppixels == nullptr || y0 >= y1)
   {
      return;
   }
   const std::uint32_t uSource = solid_pixel(color);
   const std::ptrdiff_t iRowStep = m_iStride / 4;
   auto first_of = [](const coverage_run & run) { return std::max(run.m_x, 0); };
   auto end_of = [&](const coverage_run & run) { return std::max(std::min(run.m_x + run.m_iLength, m_iWidth), first_of(run)); };
   // Long solid runs are filled down all the rows at once, the rest row by row.
   auto is_long_solid = [](const coverage_run & run) { return run.m_uCoverage == 255 && run.m_iLength >= 32; };
   for (std::size_t iRun = 0; iRun < iCount; ++iRun)
   {
      const coverage_run & run = pruns[iRun];
      if (is_long_solid(run) && first_of(run) < end_of(run))
      {
         pixman_fill(m_ppixels, m_iStride / 4, 32, first_of(run), y0, end_of(run) - first_of(run), y1 - y0, uSource);
      }
   }
   // Rows lie a picture's width apart, too far for the processor to see the next one coming:
   // a tall line asks for the pixels of its rows a few rows ahead.
   constexpr int rows_ahead = 12;
   std::uint32_t * prow = m_ppixels + static_cast<std::ptrdiff_t>(y0) * iRowStep;
   for (int y = y0; y < y1; ++y, prow += iRowStep)
   {
      for (std::size_t iRun = 0; iRun < iCount; ++iRun)
      {
         const coverage_run & run = pruns[iRun];
         const int x0 = first_of(run);
         const int x1 = end_of(run);
         const std::uint8_t uCoverage = run.m_uCoverage;
         if (y + rows_ahead < y1)
         {
            __builtin_prefetch(prow + rows_ahead * iRowStep + x0, 1);
         }
         if (uCoverage == 255)
         {
            if (!is_long_solid(run))
            {
               std::fill(prow + x0, prow + x1, uSource);
            }
            continue;
         }
         // The last mix at this coverage, held in registers along the run.
         known_mix & known = m_knownspanmixes[uCoverage];
         if (known.m_uSource != uSource)
         {
            known = {uSource, 0, mix_by_span(uSource, uCoverage, 0)};
         }
         std::uint32_t uUnder = known.m_uUnder;
         std::uint32_t uMixed = known.m_uMixed;
         for (int x = x0; x < x1; ++x)
         {
            if (prow[x] != uUnder)
            {
               uUnder = prow[x];
               uMixed = mix_by_span(uSource, uCoverage, uUnder);
            }
            prow[x] = uMixed;
         }
         known.m_uUnder = uUnder;
         known.m_uMixed = uMixed;
      }
   }
}

std::uint32_t pixel_writer::blend_known(std::uint32_t uSource, std::uint8_t uCoverage, std::uint32_t uUnder)
{
   known_mix & known = m_knownblends[uCoverage];
   if (known.m_uSource != uSource || known.m_uUnder != uUnder)
   {
      known = {uSource, uUnder, image::blend_pixel(in(uSource, uCoverage), uUnder)};
   }
   return known.m_uMixed;
}

std::uint32_t pixel_writer::solid_pixel(color::color color)
{
   for (std::size_t i = 0; i < m_iKnownPixels; ++i)
   {
      if (m_knownpixels[i].m_color == color)
      {
         return m_knownpixels[i].m_uPixel;
      }
   }
   // The source pixel exactly as the library makes it from its 16-bit colour: drawn over a
   // transparent pixel.
   std::uint32_t uPixel = 0;
   pixman_image_t * pone = pixman_image_create_bits(PIXMAN_a8r8g8b8, 1, 1, &uPixel, 4);
   pixman_image_composite32(PIXMAN_OP_OVER, solid_image(color), nullptr, pone, 0, 0, 0, 0, 0, 0, 1, 1);
   pixman_image_unref(pone);
   m_knownpixels[m_iNextKnownPixel] = {color, uPixel};
   m_iNextKnownPixel = (m_iNextKnownPixel + 1) % known_pixel_count;
   m_iKnownPixels = std::min(m_iKnownPixels + 1, known_pixel_count);
   return uPixel;
}

} // namespace zel2d
