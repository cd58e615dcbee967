#include "zelui/TabWidgetBase.h"

#include <cmath>
#include <numeric>

#include "zel2d/context.h"
#include "zelui/Theme.h"

namespace zelui
{

TabWidgetBase::TabWidgetBase(Widget * pparent) : Widget(pparent)
{
}

void TabWidgetBase::set_selected_index(long long index)
{
   if (index < 0 || index >= tab_count() || index == m_iSelected)
   {
      return;
   }
   m_iSelected = index;
   if (m_callback)
   {
      m_callback(index);
   }
   set_need_redraw();
   post_redraw();
}

void TabWidgetBase::add_caption(scoped_string_base strCaption)
{
   m_captions.emplace_back(strCaption);
}

int TabWidgetBase::header_height() const
{
   return theme()->m_iTabHeaderHeight;
}

std::vector<float> TabWidgetBase::caption_widths(zel2d::context * pcontext)
{
   zel2d::context * pmeasure = measuring_context(pcontext);
   zel2d::saved_state state(pmeasure);
   pmeasure->set_font_face(theme()->m_pszFontFace);
   pmeasure->set_font_size(font_size());
   std::vector<float> widths;
   for (const string_base & strCaption : m_captions)
   {
      widths.push_back(std::ceil(pmeasure->text_bounds(0.0f, 0.0f, strCaption, nullptr)) + 20.0f);
   }
   return widths;
}

long long TabWidgetBase::tab_at(zel2d::context * pcontext, int iX)
{
   float fX = 0.0f;
   std::vector<float> widths = caption_widths(pcontext);
   for (std::size_t i = 0; i < widths.size(); ++i)
   {
      if (iX >= fX && iX < fX + widths[i])
      {
         return static_cast<long long>(i);
      }
      fX += widths[i];
   }
   return -1;
}

size_type<int> TabWidgetBase::preferred_size(zel2d::context * pcontext)
{
   std::vector<float> widths = caption_widths(pcontext);
   return {static_cast<int>(std::accumulate(widths.begin(), widths.end(), 0.0f)), header_height()};
}

bool TabWidgetBase::mouse_button_event(const point_type<int> & point, enumeration<user::enum_mouse> ebutton, bool bDown,
                                       bool bDoubleClick, const enumeration<user::enum_key> & emodifiers)
{
   if (point.y < header_height())
   {
      if (ebutton == user::e_mouse_left_button && bDown)
      {
         long long index = tab_at(nullptr, point.x);
         if (index >= 0)
         {
            set_selected_index(index);
         }
      }
      return true;
   }
   return Widget::mouse_button_event(point, ebutton, bDown, bDoubleClick, emodifiers);
}

void TabWidgetBase::draw(zel2d::context * pcontext)
{
   Theme * ptheme = theme();
   std::vector<float> widths = caption_widths(pcontext);
   float fx = static_cast<float>(x()), fy = static_cast<float>(y());
   float fHeader = static_cast<float>(header_height());
   {
      zel2d::saved_state state(pcontext);
      pcontext->set_font_face(ptheme->m_pszFontFace);
      pcontext->set_font_size(font_size());
      pcontext->set_text_align(zel2d::align_center | zel2d::align_middle);
      for (std::size_t i = 0; i < widths.size(); ++i)
      {
         bool bSelected = static_cast<long long>(i) == m_iSelected;
         pcontext->begin_path();
         pcontext->rectangle(fx, fy, widths[i] - 1.0f, fHeader);
         pcontext->set_fill_color(bSelected ? ptheme->m_colorTabActive : ptheme->m_colorTabInactive);
         pcontext->fill();
         if (bSelected)
         {
            pcontext->begin_path();
            pcontext->rectangle(fx, fy, widths[i] - 1.0f, 2.0f);
            pcontext->set_fill_color(ptheme->m_colorAccent);
            pcontext->fill();
         }
         pcontext->set_fill_color(bSelected ? ptheme->m_colorText : ptheme->m_colorTextUnits);
         pcontext->text(fx + widths[i] * 0.5f, fy + fHeader * 0.5f, m_captions[i]);
         fx += widths[i];
      }
   }
   Widget::draw(pcontext);
}

} // namespace zelui
