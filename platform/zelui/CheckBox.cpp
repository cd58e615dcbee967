#include "zelui/CheckBox.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "zel2d/context.h"
#include "zelui/Theme.h"

namespace zelui
{

CheckBox::CheckBox(Widget * pparent, scoped_string_base strCaption, const function<void(bool)> & callback) :
   Widget(pparent), m_strCaption(strCaption), m_callback(callback)
{
}

void CheckBox::set_checked(bool bChecked, const action_context & context)
{
   m_bChecked = bChecked;
   if (context.is_user_change() && m_callback)
   {
      auto pself = keep_alive();
      m_callback(bChecked);
   }
   set_need_redraw();
   post_redraw();
}

size_type<int> CheckBox::preferred_size(zel2d::context * pcontext)
{
   int iBox = static_cast<int>(std::ceil(font_size() * 1.3f));
   if (m_strCaption.empty())
   {
      return {iBox + 2, iBox};
   }
   zel2d::context * pmeasure = measuring_context(pcontext);
   zel2d::saved_state state(pmeasure);
   pmeasure->set_font_face(theme()->m_pszFontFace);
   pmeasure->set_font_size(font_size());
   float fWidth = pmeasure->text_bounds(0.0f, 0.0f, m_strCaption, nullptr);
   return {iBox + theme()->m_iCheckBoxGap + static_cast<int>(std::ceil(fWidth)) + 2, iBox};
}

float CheckBox::box_side() const
{
   return std::min(std::ceil(font_size() * 1.3f), static_cast<float>(std::min(width(), height())) - 2.0f);
}

float CheckBox::caption_left() const
{
   return 1.0f + box_side() + static_cast<float>(theme()->m_iCheckBoxGap);
}

std::vector<text_line> CheckBox::text_lines() const
{
   if (m_strCaption.empty())
   {
      return {};
   }
   return {{m_strCaption, theme()->m_pszFontFace, font_size(),
            {caption_left(), 0.0f, static_cast<float>(width()), static_cast<float>(height())}}};
}

bool CheckBox::mouse_button_event(const point_type<int> & point, enumeration<user::enum_mouse> ebutton, bool bDown,
                                  bool bDoubleClick, const enumeration<user::enum_key> & emodifiers)
{
   if (ebutton != user::e_mouse_left_button || !enabled())
   {
      Widget::mouse_button_event(point, ebutton, bDown, bDoubleClick, emodifiers);
      return false;
   }
   if (bDown)
   {
      m_bPushed = true;
      set_mouse_capture();
   }
   else if (std::exchange(m_bPushed, false) && contains(point))
   {
      // The focus comes with the click, not with the press: a press dragged off the box and
      // released elsewhere (or never released) leaves the box as it was.
      request_focus();
      set_checked(!m_bChecked, e_source_user);
   }
   // The pushed look comes with the press and goes with the release, wherever it lands.
   set_need_redraw();
   post_redraw();
   return true;
}

void CheckBox::mouse_capture_lost()
{
   m_bPushed = false;
   set_need_redraw();
   post_redraw();
}

void CheckBox::draw(zel2d::context * pcontext)
{
   Theme * ptheme = theme();
   float fBox = box_side();
   float fx = static_cast<float>(x()) + 1.0f;
   float fy = static_cast<float>(y()) + (height() - fBox) * 0.5f;
   {
      zel2d::saved_state state(pcontext);
      pcontext->begin_path();
      pcontext->rounded_rectangle(fx + 0.5f, fy + 0.5f, fBox - 1.0f, fBox - 1.0f, 2.0f);
      pcontext->set_fill_color(m_bPushed ? ptheme->m_colorButtonPushed : ptheme->m_colorCheckBox);
      pcontext->fill();
      pcontext->set_stroke_color(focused() || mouse_inside() ? ptheme->m_colorAccent : ptheme->m_colorTextBoxBorder);
      pcontext->set_stroke_width(1.0f);
      pcontext->stroke();
      if (m_bChecked)
      {
         // A tick from the lower left through the bottom to the upper right.
         pcontext->begin_path();
         pcontext->move_to(fx + fBox * 0.22f, fy + fBox * 0.52f);
         pcontext->line_to(fx + fBox * 0.42f, fy + fBox * 0.72f);
         pcontext->line_to(fx + fBox * 0.78f, fy + fBox * 0.28f);
         pcontext->set_stroke_color(enabled() ? ptheme->m_colorCheckMark : ptheme->m_colorTextDisabled);
         pcontext->set_stroke_width(std::max(1.5f, fBox * 0.13f));
         pcontext->stroke();
      }
      if (!m_strCaption.empty())
      {
         pcontext->set_font_face(ptheme->m_pszFontFace);
         pcontext->set_font_size(font_size());
         pcontext->set_fill_color(enabled() ? ptheme->m_colorText : ptheme->m_colorTextDisabled);
         pcontext->set_text_align(zel2d::align_left | zel2d::align_middle);
         pcontext->text(static_cast<float>(x()) + caption_left(), static_cast<float>(y()) + height() * 0.5f, m_strCaption);
      }
   }
   Widget::draw(pcontext);
}

} // namespace zelui
