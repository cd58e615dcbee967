#include "toolwindows/path_controls.h"

#include "panels/CheckboxWithFocus.h"

namespace Tarvossa_BrisvanePro::path_controls
{

void press_custom_path_button(boxes_layer * player, const edited_path & path, CheckboxWithFocus * pcheckboxCustomPath)
{
   if (!player)
   {
      return;
   }
   player->custom_path_target = path.m_uTarget;
   if ((player->*path.m_pdescription).m_iCustomPath == 0)
   {
      pcheckboxCustomPath->set_checked(true, e_source_user);
   }
}

void switch_custom_path(boxes_layer * player, const edited_path & path, bool bOn, CheckboxWithFocus * pcheckboxVisible)
{
   if (!player)
   {
      return;
   }
   // Showing the path is part of the same edit.
   player->change(layer_change::look, [&]
   {
      if (bOn)
      {
         player->custom_path_target = path.m_uTarget;
         pcheckboxVisible->set_checked(true, e_source_user);
      }
      (player->*path.m_pdescription).m_iCustomPath = bOn ? 1 : 0;
   });
}

void switch_diagram_type(boxes_layer * player, const edited_path & path, CheckboxWithFocus * ppartner, bool bChecked,
                         int iTypeWhenChecked)
{
   ppartner->set_checked(!bChecked, e_source_sync);
   if (player)
   {
      player->change(layer_change::look, [&] { player->*path.m_pdiagramType = bChecked ? iTypeWhenChecked : 1 - iTypeWhenChecked; });
   }
}

} // namespace Tarvossa_BrisvanePro::path_controls
