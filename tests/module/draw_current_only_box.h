#pragma once

#include "panels/LayerList.h"
#include "zelui/CheckBox.h"

// The layer list's "Draw Current Only" check box: the one check box of its button row.
inline zelui::CheckBox * draw_current_only_box(const Tarvossa_BrisvanePro::LayerList & list)
{
   for (const pointer<zelui::Widget> & pchild : list.button_row()->children())
   {
      if (auto * pbox = dynamic_cast<zelui::CheckBox *>(pchild.get()))
      {
         return pbox;
      }
   }
   return nullptr;
}
