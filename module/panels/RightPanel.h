#pragma once

#include "panels/forward.h"
#include "zelui/Widget.h"

namespace Tarvossa_BrisvanePro
{

// The side panel at the right of the main screen: the preset list above the layer list, each
// half the panel's height.
class RightPanel : public zelui::Widget
{
public:
   RightPanel(zelui::Widget * pparent, Global * pglobal);
   ~RightPanel() override;

   // Both lists get (width, height / 2 - 5), the layer list first.
   void set_fixed_size(const size_type<int> & size) override;
   // Re-synchronise one list from the document; a call made while the same one runs is dropped.
   void syncFromGlobalLayers(zel2d::context * pcontext);
   void syncFromGlobalPresets(zel2d::context * pcontext);
   bool isOnlyCurrentChecked() const;

   LayerList * layer_list() const noexcept { return m_playerlist; }
   PresetList * preset_list() const noexcept { return m_ppresetlist; }

   void draw(zel2d::context * pcontext) override;

private:
   Global * m_pglobal;
   bool m_bSyncingLayers = false;
   bool m_bSyncingPresets = false;
   LayerList * m_playerlist = nullptr;
   PresetList * m_ppresetlist = nullptr;
};

} // namespace Tarvossa_BrisvanePro
