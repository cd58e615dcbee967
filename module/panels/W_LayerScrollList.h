#pragma once

#include "panels/ScrollList.h"

namespace Tarvossa_BrisvanePro
{

// The layer list's rows: the last layer of the document at the top, the current layer's row in
// the selected colour. Each row has a "Visible" check box and up and down buttons; a click on the
// row's figures or thumbnail makes its layer current, and dragging a row over another moves its
// layer there.
class W_LayerScrollList : public ScrollList
{
public:
   W_LayerScrollList(zelui::Widget * pparent, Global * pglobal);
   ~W_LayerScrollList() override;

   user::item * selected_item() override;

   // Moves the dragged row's layer to the entered row's place; false when nothing moved.
   bool drag_reorder(zelui::Widget * pwidgetEntered, zelui::Widget * pwidgetDragged);

protected:
   void on_init_contained_item(list_item * pitem, long long index) override;
   void finish_new(list_item * pitem, long long index) override;
   void update(list_item * pitem, long long index) override;
};

} // namespace Tarvossa_BrisvanePro
