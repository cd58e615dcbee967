#include "panels/HoverContainer.h"

namespace Tarvossa_BrisvanePro
{

HoverContainer::HoverContainer(zelui::Widget * pparent) :
   zelui::Widget(pparent)
{
}

HoverContainer::~HoverContainer() = default;

user::item * HoverContainer::hover_item()
{
   // An item that left the container is no longer hovered.
   return m_pwidgetHover && child_index(m_pwidgetHover) >= 0 ? m_pwidgetHover : nullptr;
}

void HoverContainer::on_item_hover(user::item * pitem)
{
   if (m_pwidgetHover && m_pwidgetHover != pitem && child_index(m_pwidgetHover) >= 0)
   {
      m_pwidgetHover->set_need_redraw();
   }
   m_pwidgetHover = dynamic_cast<zelui::Widget *>(pitem);
   if (m_pwidgetHover)
   {
      m_pwidgetHover->set_need_redraw();
      m_pwidgetHover->post_redraw();
   }
}

bool HoverContainer::mouse_enter_event(const point_type<int> & point, bool bEnter, const enumeration<user::enum_key> & emodifiers)
{
   if (!bEnter && m_pwidgetHover)
   {
      zelui::Widget * pwidget = std::exchange(m_pwidgetHover, nullptr);
      if (child_index(pwidget) >= 0)
      {
         pwidget->set_need_redraw();
         pwidget->post_redraw();
      }
   }
   return zelui::Widget::mouse_enter_event(point, bEnter, emodifiers);
}

} // namespace Tarvossa_BrisvanePro
