#include "core/layer_edits.h"

#include <algorithm>

#include "core/Global.h"
#include "core/layer_naming.h"
#include "document/project.h"
#include "orvo/exception.h"

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

} // namespace

layer_edits::layer_edits(Global & global) : m_global(global)
{
}

std::optional<long long> layer_edits::insert(const pointer<app_layer> & player, long long index)
{
   project * pdocument = m_global.current_project();
   if (!player || !pdocument)
   {
      return std::nullopt;
   }
   if (index < 0)
   {
      index = pdocument->get_layers_count();
   }
   pdocument->insert_layer_at(player, index);
   return index;
}

pointer<app_layer> layer_edits::copy_of_current() const
{
   project * pdocument = m_global.current_project();
   pointer<app_layer> player = pdocument ? pdocument->current_layer() : nullptr;
   if (!player)
   {
      return {};
   }
   pointer<app_layer> pcopy = player->clone();
   if (is_screen_layer(pcopy))
   {
      pcopy->set_name(_001IncrementName(pcopy->get_name().c_str(), "Screen", layer_names(*pdocument)));
   }
   return pcopy;
}

std::optional<long long> layer_edits::erase_current()
{
   project * pdocument = m_global.current_project();
   if (!pdocument)
   {
      return std::nullopt;
   }
   const long long iCurrent = pdocument->get_current_layer_id();
   pointer_array<app_layer> & layers = pdocument->get_layers();
   if (iCurrent >= 0)
   {
      layers.erase_at(iCurrent);
   }
   return std::min(layers.count() - 1, iCurrent);
}

bool layer_edits::move(long long iTarget, long long iSource)
{
   project * pdocument = m_global.current_project();
   if (iTarget == iSource || !pdocument)
   {
      return false;
   }
   pointer_array<app_layer> & layers = pdocument->get_layers();
   // The layer list passes only rows it shows; anything else would corrupt the list.
   if (!layers.has_index(iTarget) || !layers.has_index(iSource))
   {
      return false;
   }
   pointer<app_layer> player = layers[iSource];
   layers.erase_at(iSource);
   layers.insert_at(iTarget, player);
   return true;
}

std::optional<long long> layer_edits::raise(long long index)
{
   project * pdocument = m_global.current_project();
   if (!pdocument || index < 0 || index >= pdocument->get_layers_count() - 1)
   {
      return std::nullopt;
   }
   pdocument->get_layers().swap(index, index + 1);
   return index + 1;
}

std::optional<long long> layer_edits::lower(long long index)
{
   project * pdocument = m_global.current_project();
   if (!pdocument || index < 1 || index >= pdocument->get_layers_count())
   {
      return std::nullopt;
   }
   pdocument->get_layers().swap(index, index - 1);
   return index - 1;
}

pointer<app_layer> layer_edits::copy_of_preset(long long index) const
{
   if (index < 0)
   {
      return {};
   }
   pointer_array<app_layer> & presets = m_global.get_presets();
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
   project * pdocument = m_global.current_project();
   if (!pdocument)
   {
      return {};
   }
   pcopy->set_document(pdocument);
   pcopy->set_controller(&m_global);
   const string_base strName = ppreset->get_name();
   pcopy->set_name(_001IncrementName(strName.c_str(), strName.c_str(), layer_names(*pdocument)));
   return pcopy;
}

pointer<app_layer> layer_edits::screen_copy_of_current() const
{
   project * pdocument = m_global.current_project();
   pointer<app_layer> player = pdocument ? pdocument->current_layer() : nullptr;
   if (!is_screen_layer(player))
   {
      return {};
   }
   pointer<app_layer> pcopy = player->clone();
   if (!is_screen_layer(pcopy))
   {
      throw exception(error_failed, "the copy of a screen layer is not a screen layer");
   }
   return pcopy;
}

} // namespace Tarvossa_BrisvanePro
