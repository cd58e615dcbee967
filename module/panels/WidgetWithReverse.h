#pragma once

#include "zelui/Widget.h"

namespace Tarvossa_BrisvanePro
{

// A plain container that can move its last child to the front of its children.
class WidgetWithReverse : public zelui::Widget
{
public:
   explicit WidgetWithReverse(zelui::Widget * pparent);
   ~WidgetWithReverse() override;

   // With two children or more, the last becomes the first and the others keep their order; asks
   // for no layout or redraw.
   virtual void move_last_child_to_first();
};

} // namespace Tarvossa_BrisvanePro
