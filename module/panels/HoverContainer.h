#pragma once

#include "zelui/Widget.h"

namespace Tarvossa_BrisvanePro
{

// A container whose items report the mouse entering them (as `WidgetWithBackground` rows do):
// it remembers the last one entered as its hovered item, until another is entered or the mouse
// leaves the container, and asks both for a redraw when that changes.
class HoverContainer : public zelui::Widget
{
public:
   explicit HoverContainer(zelui::Widget * pparent);
   ~HoverContainer() override;

   user::item * hover_item() override;
   void on_item_hover(user::item * pitem) override;
   bool mouse_enter_event(const point_type<int> & point, bool bEnter, const enumeration<user::enum_key> & emodifiers) override;

private:
   zelui::Widget * m_pwidgetHover = nullptr;
};

} // namespace Tarvossa_BrisvanePro
