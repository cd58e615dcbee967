#include "zelui/VScrollPanel.h"

#include <algorithm>

#include "zel2d/context.h"
#include "zelui/Theme.h"

namespace zelui
{

VScrollPanel::VScrollPanel(Widget * pparent) : Widget(pparent)
{
}

int VScrollPanel::max_scroll() const noexcept
{
   return std::max(0, m_iContentHeight - height());
}

void VScrollPanel::set_scroll_offset(int iScroll)
{
   m_iScroll = std::clamp(iScroll, 0, max_scroll());
   place_content();
   set_need_redraw();
   post_redraw();
}

void VScrollPanel::place_content()
{
   if (child_count() > 0)
   {
      child_at(0)->set_position({0, -m_iScroll});
   }
}

size_type<int> VScrollPanel::preferred_size(zel2d::context * pcontext)
{
   if (child_count() == 0)
   {
      return size();
   }
   size_type<int> size = child_at(0)->preferred_size(pcontext);
   size.width += theme()->m_iScrollBarWidth;
   return size;
}

void VScrollPanel::perform_layout(zel2d::context * pcontext)
{
   if (child_count() == 0)
   {
      return;
   }
   Widget * pcontent = child_at(0);
   int iWidth = pcontent->fixed_size().width > 0 ? pcontent->fixed_size().width : width() - theme()->m_iScrollBarWidth;
   m_iContentHeight = std::max(pcontent->preferred_size(pcontext).height, height());
   pcontent->set_size({iWidth, m_iContentHeight});
   pcontent->perform_layout(pcontext);
   m_iScroll = std::clamp(m_iScroll, 0, max_scroll());
   place_content();
}

std::pair<int, int> VScrollPanel::thumb() const noexcept
{
   if (m_iContentHeight <= 0 || max_scroll() == 0)
   {
      return {0, height()};
   }
   int iThumb = std::max(20, height() * height() / m_iContentHeight);
   int iTop = (height() - iThumb) * m_iScroll / max_scroll();
   return {iTop, iThumb};
}

void VScrollPanel::draw(zel2d::context * pcontext)
{
   Widget::draw(pcontext);
   if (max_scroll() == 0)
   {
      return;
   }
   Theme * ptheme = theme();
   float fBar = static_cast<float>(ptheme->m_iScrollBarWidth);
   float fx = static_cast<float>(x() + width()) - fBar;
   auto [iTop, iThumb] = thumb();
   zel2d::saved_state state(pcontext);
   pcontext->begin_path();
   pcontext->rectangle(fx, static_cast<float>(y()), fBar, static_cast<float>(height()));
   pcontext->set_fill_color(ptheme->m_colorScrollTrack);
   pcontext->fill();
   pcontext->begin_path();
   pcontext->rounded_rectangle(fx + 2.0f, static_cast<float>(y() + iTop) + 1.0f, fBar - 4.0f, static_cast<float>(iThumb) - 2.0f, 3.0f);
   pcontext->set_fill_color(ptheme->m_colorScrollThumb);
   pcontext->fill();
}

bool VScrollPanel::scroll_event(const point_type<int> & point, const size_type<float> & delta)
{
   if (Widget::scroll_event(point, delta))
   {
      return true;
   }
   if (max_scroll() == 0)
   {
      return false;
   }
   // One notch (a delta of 10) scrolls three tens of pixels; a positive delta scrolls up.
   set_scroll_offset(m_iScroll - static_cast<int>(delta.height * 3.0f));
   return true;
}

bool VScrollPanel::mouse_button_event(const point_type<int> & point, enumeration<user::enum_mouse> ebutton, bool bDown,
                                      bool bDoubleClick, const enumeration<user::enum_key> & emodifiers)
{
   bool bOnBar = max_scroll() > 0 && point.x >= width() - theme()->m_iScrollBarWidth;
   if (ebutton == user::e_mouse_left_button && bDown && bOnBar)
   {
      m_bDraggingBar = true;
      set_mouse_capture();
      return true;
   }
   if (!bDown && m_bDraggingBar)
   {
      m_bDraggingBar = false;
      return true;
   }
   return Widget::mouse_button_event(point, ebutton, bDown, bDoubleClick, emodifiers);
}

bool VScrollPanel::mouse_motion_event(const point_type<int> & point, const size_type<int> & motion, bool bButton,
                                      const enumeration<user::enum_key> & ekeystate)
{
   if (m_bDraggingBar && has_mouse_capture())
   {
      auto [iTop, iThumb] = thumb();
      int iTrack = height() - iThumb;
      if (iTrack > 0)
      {
         set_scroll_offset(m_iScroll + motion.height * max_scroll() / iTrack);
      }
      return true;
   }
   return Widget::mouse_motion_event(point, motion, bButton, ekeystate);
}

} // namespace zelui
