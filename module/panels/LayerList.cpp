#include "panels/LayerList.h"

#include "core/Global.h"
#include "core/screen_link.h"
#include "document/app_layer.h"
#include "zelui/Button.h"
#include "zelui/CheckBox.h"

namespace Tarvossa_BrisvanePro
{

LayerList::LayerList(zelui::Widget * pparent, Global * pglobal) :
   RightPanelList(pparent, pglobal, true)
{
   auto pbuttonClone = new zelui::Button(m_pwidgetButtons, "Clone Current", 0);
   pbuttonClone->set_tooltip("Duplicate currently selected layer and add it to top.");
   auto pbuttonAdd = new zelui::Button(m_pwidgetButtons, "+", 0);
   pbuttonAdd->set_tooltip("Append completely new layer to top.");
   auto pbuttonDelete = new zelui::Button(m_pwidgetButtons, "-", 0);
   pbuttonDelete->set_tooltip("Remove active layer.");
   pbuttonClone->set_callback([pglobal] { pglobal->clone_current_layer(); });
   pbuttonDelete->set_callback([pglobal] { pglobal->delete_current_layer(); });
   pbuttonAdd->set_callback(
      [pglobal]
      {
         if (screen_link * pscreen = pglobal->get_app())
         {
            pscreen->showAddLayerContextMenu();
            pscreen->post_redraw();
         }
      });

   m_pcheckboxOnlyCurrent = new zelui::CheckBox(m_pwidgetButtons, "Draw Current Only", {});
   m_pcheckboxOnlyCurrent->set_tooltip("Force all layers except current be transparent.");
   m_pcheckboxOnlyCurrent->set_checked(false, e_source_initialize);
   // The box's state is an input of the frame build: the panels are refreshed and the document
   // is marked changed, so that the canvas shows the new frame at once.
   m_pcheckboxOnlyCurrent->set_callback([pglobal](bool) { pglobal->reload_all(); });
   pbuttonClone->set_fixed_width(80);
   sync_at_next_frame();
}

LayerList::~LayerList() = default;

bool LayerList::isOnlyCurrentChecked() const
{
   return m_pcheckboxOnlyCurrent && m_pcheckboxOnlyCurrent->checked();
}

} // namespace Tarvossa_BrisvanePro
