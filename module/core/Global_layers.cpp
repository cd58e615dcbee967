// The operations of the controller on the document's layer list and on the presets list.

#include "core/Global.h"
#include "core/MainScreen.h"
#include "core/layer_naming.h"
#include "document/boxes_layer.h"
#include "document/project.h"
#include "orvo/exception.h"
#include "panels/LayerList.h"
#include "panels/RightPanel.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

string_array_base layer_names(const project & document)
{
   string_array_base names;
   for (const pointer<app_layer> & player : document.get_layers())
   {
      names.add(player ? player->get_name() : string_base());
   }
   return names;
}

bool is_screen_layer(const pointer<app_layer> & player)
{
   return player && player->get_layer_type() == e_layer_boxes;
}

// Whether the root screen's side panel shows the layer list whose rows ask for the moves.
bool has_layer_list(MainScreen * pscreen)
{
   RightPanel * ppanel = pscreen ? pscreen->right_panel() : nullptr;
   LayerList * plist = ppanel ? ppanel->layer_list() : nullptr;
   return plist && plist->scroll_list();
}

} // namespace

void Global::insert_layer_at(const pointer<app_layer> & player, long long index)
{
   if (!player || !m_pproject)
   {
      return;
   }
   if (index < 0)
   {
      index = m_pproject->get_layers_count();
   }
   m_pproject->insert_layer_at(player, index);
   on_insert_layer(index);
}

void Global::on_insert_layer(long long index)
{
   set_current_layer_on_screen(index);
   set_changed();
   redraw_screen();
}

pointer<app_layer> Global::clone_current_layer()
{
   if (!m_pproject)
   {
      return {};
   }
   const long long iCurrent = m_pproject->get_current_layer_id();
   pointer<app_layer> player = m_pproject->current_layer();
   if (!player)
   {
      return {};
   }
   pointer<app_layer> pcopy = player->clone();
   if (is_screen_layer(pcopy))
   {
      pcopy->set_name(_001IncrementName(pcopy->get_name().c_str(), "Screen", layer_names(*m_pproject)));
   }
   insert_layer_at(pcopy, iCurrent + 1);
   return pcopy;
}

void Global::delete_current_layer()
{
   if (!m_pproject)
   {
      return;
   }
   const long long iCurrent = m_pproject->get_current_layer_id();
   pointer_array<app_layer> & layers = m_pproject->get_layers();
   if (iCurrent >= 0)
   {
      layers.erase_at(iCurrent);
   }
   set_current_layer_on_screen(std::min(layers.count() - 1, iCurrent));
   set_changed();
   redraw_screen();
}

bool Global::move_layer_to_visual(long long iTarget, long long iSource)
{
   if (iTarget == iSource || iTarget < 0 || iSource < 0 || !m_pproject)
   {
      return false;
   }
   if (!has_layer_list(m_pscreen))
   {
      return false;
   }
   pointer_array<app_layer> & layers = m_pproject->get_layers();
   // The layer list passes only rows it shows; anything else would corrupt the list.
   if (!layers.has_index(iTarget) || !layers.has_index(iSource))
   {
      return false;
   }
   pointer<app_layer> player = layers[iSource];
   layers.erase_at(iSource);
   layers.insert_at(iTarget, player);
   set_current_layer_on_screen(iTarget);
   return true;
}

void Global::move_layer_to_visual_top_by_1(long long index)
{
   if (!m_pproject || index < 0 || index >= m_pproject->get_layers_count() - 1)
   {
      return;
   }
   m_pproject->get_layers().swap(index, index + 1);
   set_current_layer_on_screen(index + 1);
}

void Global::move_layer_to_visual_bottom_by_1(long long index)
{
   if (!m_pproject || index < 1 || index >= m_pproject->get_layers_count())
   {
      return;
   }
   m_pproject->get_layers().swap(index, index - 1);
   set_current_layer_on_screen(index - 1);
}

void Global::clone_preset_to_layers(long long index)
{
   if (index < 0)
   {
      return;
   }
   pointer_array<app_layer> & presets = get_presets();
   if (index >= presets.count() || !presets[index])
   {
      throw exception(error_bad_argument, format("there is no preset %lld", index));
   }
   const pointer<app_layer> & ppreset = presets[index];
   pointer<app_layer> pcopy = ppreset->clone();
   if (!is_screen_layer(pcopy))
   {
      throw exception(error_bad_argument, format("preset %lld is not a screen layer", index));
   }
   if (!m_pproject)
   {
      return;
   }
   pcopy->set_document(m_pproject.get());
   pcopy->set_controller(this);
   const string_base strName = ppreset->get_name();
   pcopy->set_name(_001IncrementName(strName.c_str(), strName.c_str(), layer_names(*m_pproject)));
   insert_layer_at(pcopy, -1);
}

void Global::clone_current_layer_to_preset()
{
   if (!m_pproject)
   {
      return;
   }
   pointer<app_layer> player = m_pproject->current_layer();
   if (!is_screen_layer(player))
   {
      return;
   }
   pointer<app_layer> pcopy = player->clone();
   if (!is_screen_layer(pcopy))
   {
      throw exception(error_failed, "the copy of a screen layer is not a screen layer");
   }
   get_presets();
   pcopy->set_document(m_pprojectPresets.get());
   get_presets().insert_at(0, pcopy);
   if (m_pscreen)
   {
      m_pscreen->reload_all(true);
   }
   set_changed();
   auto_save_presets();
}

void Global::delete_preset(long long index)
{
   pointer_array<app_layer> & presets = get_presets();
   if (!presets.has_index(index))
   {
      return;
   }
   presets.erase_at(index);
   if (m_pscreen)
   {
      m_pscreen->reload_all(true);
   }
   set_changed();
   auto_save_presets();
}

} // namespace Tarvossa_BrisvanePro
