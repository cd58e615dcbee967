#include "zelui/PopupButton.h"

#include "zel2d/context.h"
#include "zelui/Popup.h"
#include "zelui/Screen.h"
#include "zelui/Theme.h"

namespace zelui
{

PopupButton::PopupButton(Widget * pparent, scoped_string_base strCaption, int iIcon) :
   Button(pparent, strCaption, iIcon), m_ppopup(new Popup(this))
{
   set_flags(e_flag_toggle | e_flag_popup);
   if (Screen * pscreen = screen())
   {
      pscreen->add_child(m_ppopup.get());
   }
}

PopupButton::~PopupButton()
{
   m_ppopup->m_pbutton = nullptr;
   if (Widget * pparent = m_ppopup->parent())
   {
      pparent->remove_child(m_ppopup.get());
   }
}

float PopupButton::reserved_right() const
{
   return static_cast<float>(theme()->m_iPopupArrowSize + 4);
}

void PopupButton::draw(zel2d::context * pcontext)
{
   draw_face(pcontext);
   // The arrow at the right end says that the button opens a panel.
   float fSize = static_cast<float>(theme()->m_iPopupArrowSize);
   float fx = static_cast<float>(x() + width() - theme()->m_iButtonPadding) - fSize;
   float fy = static_cast<float>(y()) + (height() - fSize * 0.5f) * 0.5f;
   {
      zel2d::saved_state state(pcontext);
      pcontext->begin_path();
      pcontext->move_to(fx, fy);
      pcontext->line_to(fx + fSize, fy);
      pcontext->line_to(fx + fSize * 0.5f, fy + fSize * 0.5f);
      pcontext->close_path();
      pcontext->set_fill_color(enabled() ? theme()->m_colorText : theme()->m_colorTextDisabled);
      pcontext->fill();
   }
   Widget::draw(pcontext);
}

bool PopupButton::mouse_button_event(const point_type<int> & point, enumeration<user::enum_mouse> ebutton, bool bDown,
                                     bool bDoubleClick, const enumeration<user::enum_key> & emodifiers)
{
   auto pself = keep_alive();
   bool bHandled = Button::mouse_button_event(point, ebutton, bDown, bDoubleClick, emodifiers);
   if (bHandled && bDown)
   {
      if (pushed())
      {
         m_ppopup->open();
      }
      else
      {
         m_ppopup->close();
      }
   }
   return bHandled;
}

} // namespace zelui
