#pragma once

#include "panels/HoverContainer.h"
#include "panels/forward.h"

namespace Tarvossa_BrisvanePro
{

// The pop-up of the "+" button under the layer list: "Led Screen", "Images", "Logo" and
// "Cancel", one 100 x 20 row each. A click on a row runs its action and hides the menu; a click
// elsewhere leaves it open.
class AddLayerContextMenu : public HoverContainer
{
public:
   enum enum_row : int
   {
      e_row_screen = 0,
      e_row_image = 1,
      e_row_logo = 2,
      e_row_cancel = 3,
   };

   AddLayerContextMenu(zelui::Widget * pparent, Global * pglobal);
   ~AddLayerContextMenu() override;

   // What a click on row `iRow` does; then the menu hides.
   void on_row_clicked(int iRow);

   bool is_popup() const override { return true; }

private:
   Global * m_pglobal;
};

} // namespace Tarvossa_BrisvanePro
