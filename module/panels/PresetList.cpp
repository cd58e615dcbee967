#include "panels/PresetList.h"

#include "core/Global.h"
#include "zelui/Button.h"

namespace Tarvossa_BrisvanePro
{

PresetList::PresetList(zelui::Widget * pparent, Global * pglobal) :
   RightPanelList(pparent, pglobal, false)
{
   m_pbuttonLoad = new zelui::Button(m_pwidgetButtons, "Load Presets", 0);
   m_pbuttonLoad->set_callback([pglobal] { pglobal->open_presets_button(); });
   m_pbuttonSave = new zelui::Button(m_pwidgetButtons, "Save Presets", 0);
   m_pbuttonSave->set_callback([pglobal] { pglobal->save_presets_button(); });
   m_pbuttonAdd = new zelui::Button(m_pwidgetButtons, "Add to Preset", 0);
   m_pbuttonAdd->set_callback([pglobal] { pglobal->clone_current_layer_to_preset(); });
   for (zelui::Button * pbutton : {m_pbuttonLoad, m_pbuttonSave, m_pbuttonAdd})
   {
      pbutton->set_fixed_width(80);
   }
   sync_at_next_frame();
}

PresetList::~PresetList() = default;

} // namespace Tarvossa_BrisvanePro
