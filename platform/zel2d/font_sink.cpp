#include "zel2d/font_sink.h"

#include <cairo-ft.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include "orvo/exception.h"
#include "zel2d/font_face.h"

namespace zel2d
{

namespace
{

// The fontconfig pattern text for a face name: "sans" is fixed to DejaVu Sans so that text looks
// the same on every machine that has the font, whatever the local default for "sans" is.
std::string fontconfig_query(scoped_string_base name)
{
   if (name == "sans")
   {
      return "DejaVu Sans";
   }
   return std::string(name);
}

cairo_font_face_t * load_face(scoped_string_base name)
{
   const std::string query = fontconfig_query(name);
   FcPattern * ppattern = FcNameParse(reinterpret_cast<const FcChar8 *>(query.c_str()));
   if (ppattern == nullptr)
   {
      ppattern = FcPatternCreate();
   }
   FcConfigSubstitute(nullptr, ppattern, FcMatchPattern);
   FcDefaultSubstitute(ppattern);
   FcResult result = FcResultNoMatch;
   FcPattern * pmatch = FcFontMatch(nullptr, ppattern, &result);
   FcPatternDestroy(ppattern);
   if (pmatch == nullptr)
   {
      // No font is installed at all: the library's built-in choice still measures and draws.
      return cairo_toy_font_face_create("sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
   }
   cairo_font_face_t * pface = cairo_ft_font_face_create_for_pattern(pmatch);
   FcPatternDestroy(pmatch);
   return pface;
}

// Whether fontconfig's best match for a family name is that family itself (a font lists every
// family name it answers to, in any case) rather than a substitute.
bool is_installed(scoped_string_base family)
{
   const std::string name(family);
   FcPattern * ppattern = FcPatternCreate();
   FcPatternAddString(ppattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(name.c_str()));
   FcConfigSubstitute(nullptr, ppattern, FcMatchPattern);
   FcDefaultSubstitute(ppattern);
   FcResult result = FcResultNoMatch;
   FcPattern * pmatch = FcFontMatch(nullptr, ppattern, &result);
   FcPatternDestroy(ppattern);
   bool bInstalled = false;
   FcChar8 * pszFamily = nullptr;
   for (int i = 0; pmatch && !bInstalled && FcPatternGetString(pmatch, FC_FAMILY, i, &pszFamily) == FcResultMatch; ++i)
   {
      bInstalled = FcStrCmpIgnoreCase(pszFamily, reinterpret_cast<const FcChar8 *>(name.c_str())) == 0;
   }
   if (pmatch)
   {
      FcPatternDestroy(pmatch);
   }
   return bInstalled;
}

} // namespace

font_face::~font_face()
{
   cairo_font_face_destroy(m_pface);
}

font_sink::font_sink() = default;

font_sink::~font_sink() = default;

pointer<font_sink> font_sink::shared()
{
   static const pointer<font_sink> s_psink = make_pointer<font_sink>();
   return s_psink;
}

font_face * font_sink::find(scoped_string_base name)
{
   std::lock_guard lock(m_mutex);
   if (auto it = m_faces.find(name); it != m_faces.end())
   {
      return it->second.get();
   }
   auto pface = std::make_unique<font_face>(std::string(name), load_face(name));
   font_face * pfaceFound = pface.get();
   m_faces.emplace(std::string(name), std::move(pface));
   return pfaceFound;
}

void font_sink::require(scoped_string_base family)
{
   if (!is_installed(family))
   {
      throw exception(error_not_found, format("the font \"%s\" is not installed", std::string(family).c_str()));
   }
}

std::size_t font_sink::loaded_count() const
{
   std::lock_guard lock(m_mutex);
   return m_faces.size();
}

} // namespace zel2d
