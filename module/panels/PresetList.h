#pragma once

#include "panels/RightPanelList.h"

namespace zelui
{
class Button;
}

namespace Tarvossa_BrisvanePro
{

// The upper half of the side panel: the library of presets above the buttons "Load Presets",
// "Save Presets" and "Add to Preset".
class PresetList : public RightPanelList
{
public:
   PresetList(zelui::Widget * pparent, Global * pglobal);
   ~PresetList() override;

private:
   zelui::Button * m_pbuttonLoad = nullptr;
   zelui::Button * m_pbuttonSave = nullptr;
   zelui::Button * m_pbuttonAdd = nullptr;
};

} // namespace Tarvossa_BrisvanePro
