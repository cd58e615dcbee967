#pragma once

#include <cstdint>

#include "orvo/color.h"
#include "zel2d/device_box.h"

typedef union pixman_image pixman_image_t;

namespace zel2d
{

// Writes whole-pixel boxes of one colour straight into a target's pixels, blending over what is
// there: the quick road for the most common drawing of all (pixel-aligned rectangle fills and
// pixel outlines), which gives exactly the pixels the general rasteriser would.
class pixel_writer
{
public:
   pixel_writer() = default;
   ~pixel_writer();
   pixel_writer(const pixel_writer &) = delete;
   pixel_writer & operator=(const pixel_writer &) = delete;

   // The target's pixels (premultiplied ARGB, rows of `iStride` bytes); null: no target.
   void set_target(std::uint32_t * ppixels, int iWidth, int iHeight, int iStride);

   // Blends `color` over the pixel box [x0, x1) x [y0, y1), cut to `clip` and the target.
   // `clip` must be pixel-aligned.
   void fill_box(int x0, int y0, int x1, int y1, color::color color, const device_box & clip);

   // Blends `color` over the pixels from (x, y), w x h, each weighed by its coverage (0 to 255;
   // rows of `iCoverageStride` bytes, a multiple of 4), cut to `clip` (pixel-aligned) and the
   // target: the compositing the general rasteriser does with its coverage mask, written here
   // pixel by pixel with the library's own arithmetic, as small masks cost more to hand over than
   // to blend.
   // How a partial coverage of an opaque colour is blended: as the library composites a
   // coverage mask (fills), or as its rasteriser writes the spans of a stroke, mixing colour and
   // pixel with a rounding of its own. Translucent colours blend as a mask either way.
   enum class blending
   {
      mask,
      stroke_spans
   };
   void blend_coverage(int x, int y, int w, int h, const std::uint8_t * pcoverage, int iCoverageStride, color::color color,
                       const device_box & clip, blending how = blending::mask);

   // A run of `m_iLength` pixels from `m_x` of a row, all at one coverage (1 to 255).
   struct coverage_run
   {
      int m_x = 0;
      int m_iLength = 0;
      std::uint8_t m_uCoverage = 0;
   };
   // Writes the runs into each row from `y0` to `y1` (exclusive) as the rasteriser writes the
   // spans of an opaque colour's stroke (`blending::stroke_spans`): full coverage sets the
   // colour's pixel, a partial one mixes it in. Runs are cut to the target; the caller cuts them
   // to its scissor.
   void write_stroke_runs(int y0, int y1, const coverage_run * pruns, std::size_t iCount, color::color color);

   // For compositing glyphs: the target's image, drawing limited to `clip` (pixel-aligned), and
   // a solid source of `color`. Null when there is no target.
   pixman_image_t * target_clipped_to(const device_box & clip);
   pixman_image_t * solid_image(color::color color);

private:
   // The premultiplied pixel of `color` as the library's solid source gives it.
   std::uint32_t solid_pixel(color::color color);

   // The last few colours' pixels: drawings alternate between a handful of colours, and making
   // one costs the library a source image and a composite.
   struct known_pixel
   {
      color::color m_color;
      std::uint32_t m_uPixel = 0;
   };
   static constexpr std::size_t known_pixel_count = 4;
   // A source pixel mixed at one coverage into one target pixel, and what that gave.
   struct known_mix
   {
      std::uint32_t m_uSource = 0;
      std::uint32_t m_uUnder = 0;
      std::uint32_t m_uMixed = 0;
   };
   // Blends `uSource` at `uCoverage` (1 to 255) over `uUnder`, or takes what the same blend gave
   // last time at that coverage.
   std::uint32_t blend_known(std::uint32_t uSource, std::uint8_t uCoverage, std::uint32_t uUnder);

   std::uint32_t * m_ppixels = nullptr;
   int m_iWidth = 0;
   int m_iHeight = 0;
   int m_iStride = 0;
   pixman_image_t * m_pimageTarget = nullptr;
   pixman_image_t * m_pimageSolid = nullptr;
   color::color m_colorSolid;
   known_pixel m_knownpixels[known_pixel_count];
   std::size_t m_iKnownPixels = 0;
   std::size_t m_iNextKnownPixel = 0;
   // The last mix at each coverage, one table for stamps blended "over" and one for lines mixed as
   // the rasteriser writes spans: under a stamp or a line lie long stretches of one pixel (a
   // line's colour, a cabinet's fill), and each is mixed once. All zeros is a true mix either
   // way (nothing into nothing).
   known_mix m_knownblends[256];
   known_mix m_knownspanmixes[256];
   device_box m_clipTarget;
};

} // namespace zel2d
