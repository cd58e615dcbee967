#include "zelui/Theme.h"

#include "orvo/exception.h"
#include "zel2d/font_sink.h"

namespace zelui
{

Theme::Theme()
{
   require_installed_font();
}

string_base Theme::face(scoped_string_base strFont) const
{
   return strFont == "sans" ? string_base(m_pszFontFace) : string_base(strFont);
}

void Theme::require_installed_font() const
{
   try
   {
      zel2d::font_sink::shared()->require(m_pszFontFace);
   }
   catch (const exception & e)
   {
      throw exception(e.status(), format("the interface cannot be drawn: %s (Debian package fonts-liberation)", e.what()));
   }
}

Theme * Theme::default_theme()
{
   static Theme * s_ptheme = new Theme();
   return s_ptheme;
}

} // namespace zelui
