#include "core/presets_merge.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <utility>

#include "document/app_layer.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

// A name and which of the presets of that name, in list order.
using preset_key = std::pair<string_base, int>;

preset_version version_of(const app_layer & preset)
{
   return {preset.get_name(), format("%d\n", preset.get_layer_type()) + preset.get_layer_info()};
}

// A preset with its key; the layer is null for a preset of the base, which has only its version.
struct keyed_preset
{
   preset_key m_key;
   preset_version m_version;
   pointer<app_layer> m_player;
};

std::vector<keyed_preset> keyed(const std::vector<preset_version> & versions, const std::vector<pointer<app_layer>> & layers = {})
{
   std::map<string_base, int> occurrences;
   std::vector<keyed_preset> result;
   for (std::size_t i = 0; i < versions.size(); ++i)
   {
      const string_base & strName = versions[i].m_strName;
      result.push_back({{strName, occurrences[strName]++}, versions[i], i < layers.size() ? layers[i] : pointer<app_layer>()});
   }
   return result;
}

std::vector<keyed_preset> keyed(const pointer_array<app_layer> & presets)
{
   std::vector<pointer<app_layer>> layers;
   std::copy_if(presets.begin(), presets.end(), std::back_inserter(layers), [](const pointer<app_layer> & player) { return bool(player); });
   return keyed(preset_versions(presets), layers);
}

std::map<preset_key, const keyed_preset *> by_key(const std::vector<keyed_preset> & presets)
{
   std::map<preset_key, const keyed_preset *> result;
   for (const keyed_preset & preset : presets)
   {
      result.emplace(preset.m_key, &preset);
   }
   return result;
}

} // namespace

std::vector<preset_version> preset_versions(const pointer_array<app_layer> & presets)
{
   std::vector<preset_version> versions;
   for (const pointer<app_layer> & player : presets)
   {
      if (player)
      {
         versions.push_back(version_of(*player));
      }
   }
   return versions;
}

pointer_array<app_layer> merge_presets(const std::vector<preset_version> & base, const pointer_array<app_layer> & mine,
                                       const pointer_array<app_layer> & theirs)
{
   const std::vector<keyed_preset> baseKeyed = keyed(base);
   const std::vector<keyed_preset> mineKeyed = keyed(mine);
   const std::vector<keyed_preset> theirsKeyed = keyed(theirs);
   const auto baseByKey = by_key(baseKeyed);
   const auto mineByKey = by_key(mineKeyed);
   const auto theirsByKey = by_key(theirsKeyed);

   pointer_array<app_layer> merged;
   // What only the other copy added.
   for (const keyed_preset & preset : theirsKeyed)
   {
      if (!baseByKey.contains(preset.m_key) && !mineByKey.contains(preset.m_key))
      {
         merged.add(preset.m_player);
      }
   }
   // This copy's presets, less what the other copy removed, with what only the other copy changed.
   // What this copy removed is not in its list, so it stays removed.
   for (const keyed_preset & preset : mineKeyed)
   {
      const auto itBase = baseByKey.find(preset.m_key);
      if (itBase == baseByKey.end() || preset.m_version != itBase->second->m_version)
      {
         merged.add(preset.m_player);
         continue;
      }
      const auto itTheirs = theirsByKey.find(preset.m_key);
      if (itTheirs != theirsByKey.end())
      {
         const bool bTheirsChanged = itTheirs->second->m_version != itBase->second->m_version;
         merged.add(bTheirsChanged ? itTheirs->second->m_player : preset.m_player);
      }
   }
   return merged;
}

} // namespace Tarvossa_BrisvanePro
