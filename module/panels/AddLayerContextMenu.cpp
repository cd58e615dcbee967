#include "panels/AddLayerContextMenu.h"

#include "core/Global.h"
#include "document/boxes_layer.h"
#include "document/project.h"
#include "panels/TopMenuSubmenu.h"
#include "panels/WidgetWithBackground.h"
#include "panels/panel_colors.h"
#include "zelui/BoxLayout.h"
#include "zelui/Label.h"

namespace Tarvossa_BrisvanePro
{

AddLayerContextMenu::AddLayerContextMenu(zelui::Widget * pparent, Global * pglobal) :
   HoverContainer(pparent),
   m_pglobal(pglobal)
{
   set_layout(new zelui::BoxLayout(zelui::e_orientation_vertical, zelui::e_alignment_middle, 0, 0));
   const char * names[] = {"Led Screen", "Images", "Logo", "Cancel"};
   for (int iRow = 0; iRow < 4; ++iRow)
   {
      auto prow = new WidgetWithBackground(this, panel_colors::menu, panel_colors::add_layer_hover,
                                           panel_colors::add_layer_selected, m_pglobal, nullptr);
      prow->set_layout(new zelui::BoxLayout(zelui::e_orientation_horizontal, zelui::e_alignment_middle, 0, 0));
      new zelui::Label(prow, string_base(" ") + names[iRow], "sans", -1);
      prow->set_fixed_size({100, 20});
      prow->set_callback(
         [this, iRow]
         {
            on_row_clicked(iRow);
            return true;
         });
   }
}

AddLayerContextMenu::~AddLayerContextMenu() = default;

void AddLayerContextMenu::on_row_clicked(int iRow)
{
   switch (iRow)
   {
   case e_row_screen:
      if (project * pproject = m_pglobal->current_project())
      {
         pproject->new_boxes_layer();
         m_pglobal->follow_current_layer();
      }
      break;
   case e_row_image:
      TopMenuSubmenu::addImageLayer(m_pglobal);
      break;
   case e_row_logo:
      m_pglobal->setLogoLayer();
      break;
   default:
      break;
   }
   set_visible(false);
}

} // namespace Tarvossa_BrisvanePro
