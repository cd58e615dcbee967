#include "core/presets_merge.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <map>
#include <utility>

#include "document/app_layer.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

preset_version version_of(const app_layer & preset)
{
   return {preset.get_name(), format("%d\n", preset.get_layer_type()) + preset.get_layer_info()};
}

// How the presets of one copy stand to the base: which base preset each of the copy's is (kept
// as it was, or changed), and which of the copy's each base preset became. -1 where there is
// none: a preset the copy added, or a base preset it removed.
struct correspondence
{
   std::vector<int> m_baseOf;
   std::vector<int> m_sideOf;
};

// The presets as numbers, equal where the versions are equal, so that the longest common order
// compares numbers.
std::vector<int> numbered(const std::vector<preset_version> & versions, std::map<preset_version, int> & numbers)
{
   std::vector<int> result;
   for (const preset_version & version : versions)
   {
      result.push_back(numbers.try_emplace(version, static_cast<int>(numbers.size())).first->second);
   }
   return result;
}

// The presets that two lists hold alike, as pairs of places (first list, second list), in the
// longest order the lists share. The common start and end pair at once, and the longest order is
// sought only between them: lists that differ in a few places cost little.
std::vector<std::pair<std::size_t, std::size_t>> alike(const std::vector<int> & a, const std::vector<int> & b)
{
   std::size_t iStart = 0;
   while (iStart < a.size() && iStart < b.size() && a[iStart] == b[iStart])
   {
      ++iStart;
   }
   std::size_t iEndA = a.size();
   std::size_t iEndB = b.size();
   while (iEndA > iStart && iEndB > iStart && a[iEndA - 1] == b[iEndB - 1])
   {
      --iEndA;
      --iEndB;
   }
   // Lengths of the longest common order of the tails of the middles, a[iStart + i ..] and
   // b[iStart + j ..].
   const std::size_t n = iEndA - iStart;
   const std::size_t m = iEndB - iStart;
   std::vector<std::uint32_t> tail((n + 1) * (m + 1), 0);
   auto at = [&tail, m](std::size_t i, std::size_t j) -> std::uint32_t & { return tail[i * (m + 1) + j]; };
   for (std::size_t i = n; i-- > 0;)
   {
      for (std::size_t j = m; j-- > 0;)
      {
         at(i, j) = a[iStart + i] == b[iStart + j] ? at(i + 1, j + 1) + 1 : std::max(at(i + 1, j), at(i, j + 1));
      }
   }
   std::vector<std::pair<std::size_t, std::size_t>> pairs;
   for (std::size_t k = 0; k < iStart; ++k)
   {
      pairs.emplace_back(k, k);
   }
   for (std::size_t i = 0, j = 0; i < n && j < m;)
   {
      if (a[iStart + i] == b[iStart + j])
      {
         pairs.emplace_back(iStart + i++, iStart + j++);
      }
      else if (at(i + 1, j) >= at(i, j + 1))
      {
         ++i;
      }
      else
      {
         ++j;
      }
   }
   for (std::size_t k = 0; iEndA + k < a.size(); ++k)
   {
      pairs.emplace_back(iEndA + k, iEndB + k);
   }
   return pairs;
}

// Pass 1: the presets that the base and the copy hold alike anchor the rest. Pass 2: between two
// anchors, a base preset and a preset of the copy of the same name are one preset that the copy
// changed (the first of the name with the first, and so on). Whatever of the copy is left was
// added, whatever its name; what of the base is left was removed.
correspondence correspond(const std::vector<preset_version> & base, const std::vector<preset_version> & side)
{
   std::map<preset_version, int> numbers;
   const std::vector<int> baseNumbers = numbered(base, numbers);
   const std::vector<int> sideNumbers = numbered(side, numbers);
   correspondence result{std::vector<int>(side.size(), -1), std::vector<int>(base.size(), -1)};
   auto pair = [&result](std::size_t iBase, std::size_t iSide) {
      result.m_sideOf[iBase] = static_cast<int>(iSide);
      result.m_baseOf[iSide] = static_cast<int>(iBase);
   };
   // Pairs by name the base presets from iBase and the copy's from iSide, up to the ends given.
   auto pair_changed = [&](std::size_t iBase, std::size_t iBaseEnd, std::size_t iSide, std::size_t iSideEnd) {
      for (; iBase < iBaseEnd; ++iBase)
      {
         for (std::size_t j = iSide; j < iSideEnd; ++j)
         {
            if (result.m_baseOf[j] < 0 && side[j].m_strName == base[iBase].m_strName)
            {
               pair(iBase, j);
               break;
            }
         }
      }
   };
   std::size_t iGapBase = 0;
   std::size_t iGapSide = 0;
   for (const auto & [iBase, iSide] : alike(baseNumbers, sideNumbers))
   {
      pair_changed(iGapBase, iBase, iGapSide, iSide);
      pair(iBase, iSide);
      iGapBase = iBase + 1;
      iGapSide = iSide + 1;
   }
   pair_changed(iGapBase, base.size(), iGapSide, side.size());
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
   std::vector<pointer<app_layer>> mineLayers;
   std::vector<pointer<app_layer>> theirsLayers;
   std::ranges::copy_if(mine, std::back_inserter(mineLayers), [](const pointer<app_layer> & player) { return bool(player); });
   std::ranges::copy_if(theirs, std::back_inserter(theirsLayers), [](const pointer<app_layer> & player) { return bool(player); });
   const std::vector<preset_version> mineVersions = preset_versions(mine);
   const std::vector<preset_version> theirsVersions = preset_versions(theirs);
   const correspondence mineToBase = correspond(base, mineVersions);
   const correspondence theirsToBase = correspond(base, theirsVersions);

   // The merged presets, each with the base preset it is (-1 for an addition).
   std::vector<pointer<app_layer>> merged;
   std::vector<int> mergedBase;
   // Pass 1: this copy's presets in its order. What it added or changed stays; what it kept as it
   // was takes the other copy's change, or goes when the other copy removed it.
   for (std::size_t i = 0; i < mineLayers.size(); ++i)
   {
      const int iBase = mineToBase.m_baseOf[i];
      pointer<app_layer> pkept = mineLayers[i];
      if (iBase >= 0 && mineVersions[i] == base[iBase])
      {
         const int iTheirs = theirsToBase.m_sideOf[iBase];
         if (iTheirs < 0)
         {
            continue;
         }
         pkept = theirsLayers[iTheirs];
      }
      merged.push_back(pkept);
      mergedBase.push_back(iBase);
   }
   // Pass 2: what the other copy added, and its changes to presets this copy removed, each after
   // the preset that comes before it in the other copy's list (first when none does).
   std::size_t iInsert = 0;
   for (std::size_t t = 0; t < theirsLayers.size(); ++t)
   {
      const int iBase = theirsToBase.m_baseOf[t];
      const bool bAdded = iBase < 0;
      const bool bChangedWhereRemoved = !bAdded && mineToBase.m_sideOf[iBase] < 0 && theirsVersions[t] != base[iBase];
      if (bAdded || bChangedWhereRemoved)
      {
         merged.insert(merged.begin() + static_cast<std::ptrdiff_t>(iInsert), theirsLayers[t]);
         mergedBase.insert(mergedBase.begin() + static_cast<std::ptrdiff_t>(iInsert), -1);
         ++iInsert;
      }
      else if (const auto it = std::ranges::find(mergedBase, iBase); it != mergedBase.end())
      {
         iInsert = static_cast<std::size_t>(it - mergedBase.begin()) + 1;
      }
   }
   pointer_array<app_layer> result;
   for (const pointer<app_layer> & player : merged)
   {
      result.add(player);
   }
   return result;
}

} // namespace Tarvossa_BrisvanePro
