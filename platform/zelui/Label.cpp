#include "zelui/Label.h"

#include <cmath>

#include "zel2d/context.h"
#include "zelui/Theme.h"

namespace zelui
{

Label::Label(Widget * pparent, scoped_string_base strCaption, scoped_string_base strFont, int iFontSize) :
   Widget(pparent), m_strCaption(strCaption), m_strFont(strFont)
{
   if (iFontSize > 0)
   {
      set_font_size(static_cast<float>(iFontSize));
   }
}

color::color Label::color() const
{
   return m_bColor ? m_color : theme()->m_colorText;
}

size_type<int> Label::preferred_size(zel2d::context * pcontext)
{
   if (m_strCaption.empty())
   {
      return {0, static_cast<int>(std::ceil(font_size() * 1.3f))};
   }
   zel2d::context * pmeasure = measuring_context(pcontext);
   zel2d::saved_state state(pmeasure);
   pmeasure->set_font_face(theme()->face(m_strFont));
   pmeasure->set_font_size(font_size());
   float fWidth = pmeasure->text_bounds(0.0f, 0.0f, m_strCaption, nullptr);
   return {static_cast<int>(std::ceil(fWidth)) + 2, static_cast<int>(std::ceil(font_size() * 1.3f))};
}

std::vector<text_line> Label::text_lines() const
{
   if (m_strCaption.empty())
   {
      return {};
   }
   return {{m_strCaption, theme()->face(m_strFont), font_size(),
            {0.0f, 0.0f, static_cast<float>(width()), static_cast<float>(height())}}};
}

void Label::draw(zel2d::context * pcontext)
{
   if (!m_strCaption.empty())
   {
      zel2d::saved_state state(pcontext);
      pcontext->set_font_face(theme()->face(m_strFont));
      pcontext->set_font_size(font_size());
      pcontext->set_fill_color(enabled() ? color() : theme()->m_colorTextDisabled);
      pcontext->set_text_align(zel2d::align_left | zel2d::align_middle);
      pcontext->text(static_cast<float>(x()), static_cast<float>(y()) + height() * 0.5f, m_strCaption);
   }
   Widget::draw(pcontext);
}

} // namespace zelui
