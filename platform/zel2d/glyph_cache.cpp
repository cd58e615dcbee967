#include "zel2d/glyph_cache.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>
#include <pixman.h>

#include "orvo/unicode.h"

namespace zel2d
{

namespace
{

constexpr std::size_t fonts_kept = 32;

} // namespace

glyph_cache & glyph_cache::shared()
{
   static glyph_cache s_cache;
   return s_cache;
}

glyph_cache::~glyph_cache()
{
   for (auto & pfont : m_fonts)
   {
      forget_font(*pfont);
   }
   if (m_pimages != nullptr)
   {
      pixman_glyph_cache_destroy(m_pimages);
   }
}

void glyph_cache::forget_font(font_glyphs & font)
{
   if (m_pimages != nullptr)
   {
      pixman_glyph_cache_freeze(m_pimages);
      for (unsigned long ulIndex : font.m_imagesCached)
      {
         pixman_glyph_cache_remove(m_pimages, font.m_pfont, reinterpret_cast<void *>(ulIndex + 1));
      }
      pixman_glyph_cache_thaw(m_pimages);
   }
   cairo_scaled_font_destroy(font.m_pfont);
}

glyph_cache::font_glyphs & glyph_cache::glyphs_of(cairo_scaled_font_t * pfont)
{
   auto it = std::find_if(m_fonts.begin(), m_fonts.end(), [pfont](const auto & p) { return p->m_pfont == pfont; });
   if (it == m_fonts.begin() && it != m_fonts.end())
   {
      return **it;
   }
   if (it != m_fonts.end())
   {
      std::rotate(m_fonts.begin(), it, it + 1);
      return *m_fonts.front();
   }
   if (m_fonts.size() >= fonts_kept)
   {
      forget_font(*m_fonts.back());
      m_fonts.pop_back();
   }
   auto pglyphs = std::make_unique<font_glyphs>();
   // The reference keeps the font alive, so its address cannot be reused by another font.
   pglyphs->m_pfont = cairo_scaled_font_reference(pfont);
   m_fonts.insert(m_fonts.begin(), std::move(pglyphs));
   return *m_fonts.front();
}

glyph_cache::glyph glyph_cache::look_up(cairo_scaled_font_t * pfont, char32_t code)
{
   glyph found;
   const string_base text = unicode::encode_utf8(std::u32string_view(&code, 1));
   cairo_glyph_t * pglyphs = nullptr;
   int iCount = 0;
   if (cairo_scaled_font_text_to_glyphs(pfont, 0.0, 0.0, text.data(), static_cast<int>(text.size()), &pglyphs, &iCount,
                                        nullptr, nullptr, nullptr) != CAIRO_STATUS_SUCCESS ||
       iCount < 1)
   {
      cairo_glyph_free(pglyphs);
      return found;
   }
   found.m_ulIndex = pglyphs[0].index;
   cairo_text_extents_t extents;
   cairo_scaled_font_glyph_extents(pfont, pglyphs, 1, &extents);
   cairo_glyph_free(pglyphs);
   found.m_fAdvance = static_cast<float>(extents.x_advance);
   found.m_bInk = extents.width > 0.0 && extents.height > 0.0;
   found.m_fInkLeft = static_cast<float>(extents.x_bearing);
   found.m_fInkRight = static_cast<float>(extents.x_bearing + extents.width);
   return found;
}

const glyph_cache::glyph & glyph_cache::glyph_for(font_glyphs & font, char32_t code)
{
   if (code < 128)
   {
      if (!font.m_bAsciiKnown[code])
      {
         font.m_ascii[code] = look_up(font.m_pfont, code);
         font.m_bAsciiKnown[code] = true;
      }
      return font.m_ascii[code];
   }
   auto it = font.m_others.find(code);
   if (it == font.m_others.end())
   {
      it = font.m_others.emplace(code, look_up(font.m_pfont, code)).first;
   }
   return it->second;
}

text_measure glyph_cache::lay_out(cairo_scaled_font_t * pfont, scoped_string_base text,
                                  std::vector<cairo_glyph_t> & glyphs)
{
   std::lock_guard lock(m_mutex);
   font_glyphs & font = glyphs_of(pfont);
   text_measure measure;
   glyphs.clear();
   double fPen = 0.0;
   for (std::size_t i = 0; i < text.size();)
   {
      const unicode::decoded_character character = unicode::decode_utf8_at(text, i);
      i += character.m_iLength;
      const glyph & g = glyph_for(font, character.m_wch);
      glyphs.push_back({g.m_ulIndex, fPen, 0.0});
      if (g.m_bInk)
      {
         const float fLeft = static_cast<float>(fPen + g.m_fInkLeft);
         const float fRight = static_cast<float>(fPen + g.m_fInkRight);
         measure.m_fInkLeft = measure.m_bInk ? std::min(measure.m_fInkLeft, fLeft) : fLeft;
         measure.m_fInkRight = measure.m_bInk ? std::max(measure.m_fInkRight, fRight) : fRight;
         measure.m_bInk = true;
      }
      fPen += g.m_fAdvance;
   }
   measure.m_fAdvance = static_cast<float>(fPen);
   return measure;
}

const void * glyph_cache::glyph_image(font_glyphs & font, unsigned long ulIndex)
{
   // Keys are the font and the glyph index + 1, so that no key is null.
   void * pkey = reinterpret_cast<void *>(ulIndex + 1);
   if (const void * pimage = pixman_glyph_cache_lookup(m_pimages, font.m_pfont, pkey))
   {
      return pimage;
   }
   cairo_glyph_t glyph{ulIndex, 0.0, 0.0};
   cairo_text_extents_t extents;
   cairo_scaled_font_glyph_extents(font.m_pfont, &glyph, 1, &extents);
   // One pixel of margin around the ink box, for the anti-aliased edge.
   const int x0 = static_cast<int>(std::floor(extents.x_bearing)) - 1;
   const int y0 = static_cast<int>(std::floor(extents.y_bearing)) - 1;
   const int iWidth = static_cast<int>(std::ceil(extents.x_bearing + extents.width)) + 1 - x0;
   const int iHeight = static_cast<int>(std::ceil(extents.y_bearing + extents.height)) + 1 - y0;
   pixman_image_t * pimage = pixman_image_create_bits(PIXMAN_a8, iWidth, iHeight, nullptr, 0);
   // The library renders the glyph into the image, exactly as it would onto any target.
   cairo_surface_t * psurface = cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char *>(pixman_image_get_data(pimage)), CAIRO_FORMAT_A8, iWidth, iHeight,
      pixman_image_get_stride(pimage));
   cairo_t * pcairo = cairo_create(psurface);
   cairo_set_scaled_font(pcairo, font.m_pfont);
   glyph.x = -x0;
   glyph.y = -y0;
   cairo_show_glyphs(pcairo, &glyph, 1);
   cairo_destroy(pcairo);
   cairo_surface_finish(psurface);
   cairo_surface_destroy(psurface);
   const void * pcached = pixman_glyph_cache_insert(m_pimages, font.m_pfont, pkey, -x0, -y0, pimage);
   pixman_image_unref(pimage);
   font.m_imagesCached.push_back(ulIndex);
   return pcached;
}

namespace
{

// A glyph this far out lies outside every picture, and its place would not fit the ints the
// compositor takes.
bool is_within_reach(const cairo_glyph_t & glyph)
{
   constexpr double farthest = 1 << 30;
   return std::abs(glyph.x) < farthest && std::abs(glyph.y) < farthest;
}

} // namespace

void glyph_cache::composite(cairo_scaled_font_t * pfont, const std::vector<cairo_glyph_t> & glyphs,
                            pixman_image_t * psource, pixman_image_t * ptarget)
{
   std::lock_guard lock(m_mutex);
   if (m_pimages == nullptr)
   {
      m_pimages = pixman_glyph_cache_create();
   }
   font_glyphs & font = glyphs_of(pfont);
   pixman_glyph_cache_freeze(m_pimages);
   m_positioned.clear();
   for (const cairo_glyph_t & glyph : glyphs)
   {
      if (!is_within_reach(glyph))
      {
         continue;
      }
      const void * pimage = glyph_image(font, glyph.index);
      if (pimage != nullptr)
      {
         m_positioned.push_back({static_cast<int>(std::floor(glyph.x + 0.5)), static_cast<int>(std::floor(glyph.y + 0.5)),
                                 pimage});
      }
   }
   pixman_composite_glyphs_no_mask(PIXMAN_OP_OVER, psource, ptarget, 0, 0, 0, 0, m_pimages,
                                   static_cast<int>(m_positioned.size()), m_positioned.data());
   pixman_glyph_cache_thaw(m_pimages);
}

} // namespace zel2d
