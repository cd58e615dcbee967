#include "panels/WidgetWithBackground.h"

#include "panels/fill_widget.h"


namespace Tarvossa_BrisvanePro
{

WidgetWithBackground::WidgetWithBackground(zelui::Widget * pparent, const color::color & colorNormal,
                                           const color::color & colorHover, const color::color & colorSelected,
                                           Global * pglobal, void * puserdata) :
   ClickableWidget(pparent, pglobal),
   m_colorNormal(colorNormal),
   m_colorHover(colorHover),
   m_colorSelected(colorSelected),
   m_puserdata(puserdata)
{
}

WidgetWithBackground::~WidgetWithBackground() = default;

void WidgetWithBackground::changeColors(color::color colorNormal, color::color colorHover, color::color colorSelected)
{
   m_colorNormal = colorNormal;
   m_colorHover = colorHover;
   m_colorSelected = colorSelected;
}

color::color WidgetWithBackground::current_color()
{
   zelui::Widget * pparent = parent();
   if (pparent && pparent->is_item_selected(this))
   {
      return m_colorSelected;
   }
   if (pparent && pparent->is_item_hover(this))
   {
      return m_colorHover;
   }
   return m_colorNormal;
}

bool WidgetWithBackground::mouse_enter_event(const point_type<int> & point, bool bEnter,
                                             const enumeration<user::enum_key> & emodifiers)
{
   bool bHandled = ClickableWidget::mouse_enter_event(point, bEnter, emodifiers);
   if (bHandled)
   {
      return bHandled;
   }
   if (bEnter && parent())
   {
      parent()->on_item_hover(this);
   }
   set_need_redraw();
   return bHandled;
}

bool WidgetWithBackground::focus_event(bool bFocused)
{
   return zelui::Widget::focus_event(bFocused);
}

void WidgetWithBackground::draw(zel2d::context * pcontext)
{
   fill_widget(pcontext, *this, current_color());
   zelui::Widget::draw(pcontext);
}

} // namespace Tarvossa_BrisvanePro
