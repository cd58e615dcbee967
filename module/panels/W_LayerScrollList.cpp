#include "panels/W_LayerScrollList.h"

#include "core/Global.h"
#include "core/screen_link.h"
#include "document/project.h"
#include "panels/CheckboxWithFocus.h"
#include "panels/LayerPreviewImage.h"
#include "panels/NOP.h"
#include "panels/WidgetWithBackground.h"
#include "zelui/Button.h"

namespace Tarvossa_BrisvanePro
{

W_LayerScrollList::W_LayerScrollList(zelui::Widget * pparent, Global * pglobal) :
   ScrollList(pparent, pglobal, true)
{
}

W_LayerScrollList::~W_LayerScrollList() = default;

user::item * W_LayerScrollList::selected_item()
{
   project * pproject = m_pglobal->current_project();
   pointer<app_layer> pcurrent = pproject ? pproject->current_layer() : nullptr;
   if (!pcurrent)
   {
      return nullptr;
   }
   auto it = m_rows.find(pcurrent.get());
   return it == m_rows.end() ? nullptr : it->second->m_prow.get();
}

void W_LayerScrollList::finish_new(list_item * pitem, long long)
{
   pitem->m_pcheckboxVisible = new CheckboxWithFocus(pitem->m_pinner, "Visible", {});
   pitem->m_pcheckboxVisible->set_checked(true, e_source_initialize);
   Global * pglobal = m_pglobal;
   pitem->m_pcheckboxVisible->set_callback(
      [pglobal, pitem](bool bVisible)
      {
         project * pproject = pglobal->current_project();
         if (pointer<app_layer> player = pproject ? pproject->get_layer(pitem->m_iLayerIndex) : nullptr)
         {
            player->set_hidden(!bVisible);
         }
      });
   new NOP(pitem->m_pinner, 20, 20);
   pitem->m_pbutton1 = new zelui::Button(pitem->m_pinner, "", m_imagewrapUp.handle());
   pitem->m_pbutton2 = new zelui::Button(pitem->m_pinner, "", m_imagewrapDown.handle());
}

void W_LayerScrollList::update(list_item * pitem, long long index)
{
   pitem->m_iLayerIndex = index;
   Global * pglobal = m_pglobal;
   auto make_current = [pglobal, pitem]
   {
      if (screen_link * pscreen = pglobal->get_app())
      {
         pscreen->setCurrentLayerTo(pitem->m_iLayerIndex, true);
      }
      return true;
   };
   pitem->m_pinner->set_callback(make_current);
   pitem->m_ppreview->set_callback(make_current);
   pitem->m_pbutton1->set_callback([pglobal, pitem] { pglobal->move_layer_to_visual_top_by_1(pitem->m_iLayerIndex); });
   pitem->m_pbutton2->set_callback([pglobal, pitem] { pglobal->move_layer_to_visual_bottom_by_1(pitem->m_iLayerIndex); });
}

void W_LayerScrollList::on_init_contained_item(list_item * pitem, long long)
{
   for (ClickableWidget * pwidget : {pitem->m_pinner, static_cast<ClickableWidget *>(pitem->m_ppreview),
                                     static_cast<ClickableWidget *>(pitem->m_prow.get())})
   {
      pwidget->set_capture_target(this);
      pwidget->m_callbackDragEnter = [this](zelui::Widget * pentered, zelui::Widget * pdragged)
      { return drag_reorder(pentered, pdragged); };
   }
}

bool W_LayerScrollList::drag_reorder(zelui::Widget * pwidgetEntered, zelui::Widget * pwidgetDragged)
{
   long long iTarget = child_layer_index(pwidgetEntered);
   long long iSource = child_layer_index(pwidgetDragged);
   if (iTarget < 0 || iSource < 0 || !m_pglobal->move_layer_to_visual(iTarget, iSource))
   {
      return false;
   }
   set_need_layout();
   set_need_redraw();
   post_redraw();
   return true;
}

} // namespace Tarvossa_BrisvanePro
