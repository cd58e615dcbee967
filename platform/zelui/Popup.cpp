#include "zelui/Popup.h"

#include <algorithm>

#include "zel2d/context.h"
#include "zelui/PopupButton.h"
#include "zelui/Screen.h"
#include "zelui/Theme.h"

namespace zelui
{

Popup::Popup(PopupButton * pbutton) : Window(nullptr, ""), m_pbutton(pbutton)
{
   set_visible(false);
}

Window * Popup::parent_window() const
{
   return m_pbutton && m_pbutton->parent() ? m_pbutton->parent()->window() : nullptr;
}

void Popup::open()
{
   Screen * pscreen = m_pbutton ? m_pbutton->screen() : nullptr;
   if (pscreen && parent() != pscreen)
   {
      pscreen->add_child(this);
   }
   set_visible(true);
   to_top();
   place_under_button();
   set_need_layout();
   set_need_redraw();
   post_redraw();
}

void Popup::close()
{
   set_visible(false);
   if (m_pbutton)
   {
      m_pbutton->set_pushed(false);
   }
   set_need_redraw();
   post_redraw();
}

void Popup::place_under_button()
{
   if (!m_pbutton || !parent())
   {
      return;
   }
   point_type<int> position = m_pbutton->absolute_position() - parent()->absolute_position();
   position.y += m_pbutton->height() + 2;
   position.x = std::clamp(position.x, 0, std::max(0, parent()->width() - width()));
   if (position.y + height() > parent()->height())
   {
      position.y = std::max(0, position.y - m_pbutton->height() - 4 - height());
   }
   set_position(position);
}

void Popup::perform_layout(zel2d::context * pcontext)
{
   size_type<int> size = preferred_size(pcontext);
   if (fixed_size().width > 0)
   {
      size.width = fixed_size().width;
   }
   if (fixed_size().height > 0)
   {
      size.height = fixed_size().height;
   }
   set_size(size);
   perform_layout_around_button_panel(pcontext);
   place_under_button();
}

void Popup::draw(zel2d::context * pcontext)
{
   place_under_button();
   Window::draw(pcontext);
}

} // namespace zelui
