#pragma once

#include <array>
#include <cairo.h>
#include <pixman.h>
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "orvo/string.h"



namespace zel2d
{

// The measures of laid-out text, relative to the pen start on the baseline.
struct text_measure
{
   float m_fAdvance = 0.0f;
   bool m_bInk = false;
   float m_fInkLeft = 0.0f;
   float m_fInkRight = 0.0f;
};

// Glyph indices and metrics of the characters met so far, per sized font, for the whole process:
// text is laid out by lookups instead of asking the font again for every string. A character is
// mapped to one glyph and advances the pen by that glyph's advance, as the library itself lays
// out text, so measures and drawings agree with it exactly.
class glyph_cache
{
public:
   static glyph_cache & shared();
   ~glyph_cache();

   // Lays out UTF-8 `text` in `pfont` with the pen starting at (0, 0): `glyphs` receives one
   // positioned glyph per character (a byte that begins no well-formed character counts as U+FFFD).
   text_measure lay_out(cairo_scaled_font_t * pfont, scoped_string_base text, std::vector<cairo_glyph_t> & glyphs);

   // Blends the glyphs (laid out in `pfont`, at device positions) in the colour of `psource` over
   // `ptarget`, with the glyph images the library itself renders for that font. Only for fonts of
   // a context whose transform is a translation.
   void composite(cairo_scaled_font_t * pfont, const std::vector<cairo_glyph_t> & glyphs, pixman_image_t * psource,
                  pixman_image_t * ptarget);

private:
   struct glyph
   {
      unsigned long m_ulIndex = 0;
      float m_fAdvance = 0.0f;
      bool m_bInk = false;
      float m_fInkLeft = 0.0f;
      float m_fInkRight = 0.0f;
   };

   struct font_glyphs
   {
      cairo_scaled_font_t * m_pfont = nullptr; // referenced
      std::array<glyph, 128> m_ascii{};
      std::array<bool, 128> m_bAsciiKnown{};
      std::unordered_map<char32_t, glyph> m_others;
      std::vector<unsigned long> m_imagesCached; // glyph indices put into the image cache
   };

   glyph_cache() = default;
   font_glyphs & glyphs_of(cairo_scaled_font_t * pfont);
   static glyph look_up(cairo_scaled_font_t * pfont, char32_t code);
   const glyph & glyph_for(font_glyphs & font, char32_t code);
   const void * glyph_image(font_glyphs & font, unsigned long ulIndex);
   void forget_font(font_glyphs & font);

   std::mutex m_mutex;
   // Most recently used first; the oldest fonts are let go past a small number.
   std::vector<std::unique_ptr<font_glyphs>> m_fonts;
   pixman_glyph_cache_t * m_pimages = nullptr;
   std::vector<pixman_glyph_t> m_positioned;
};

} // namespace zel2d
