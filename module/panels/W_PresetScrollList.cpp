#include "panels/W_PresetScrollList.h"

#include "core/Global.h"
#include "panels/ClickableWidget.h"
#include "zelui/Button.h"

namespace Tarvossa_BrisvanePro
{

W_PresetScrollList::W_PresetScrollList(zelui::Widget * pparent, Global * pglobal) :
   ScrollList(pparent, pglobal, false)
{
}

W_PresetScrollList::~W_PresetScrollList() = default;

void W_PresetScrollList::finish_new(list_item * pitem, long long)
{
   pitem->m_pbutton3 = new zelui::Button(pitem->m_pinner, "Clone", 0);
   pitem->m_pbutton1 = new zelui::Button(pitem->m_pinner, "-", 0);
   pitem->m_pbutton1->set_tooltip("Delete this preset.");
}

void W_PresetScrollList::update(list_item * pitem, long long index)
{
   pitem->m_iLayerIndex = index;
   Global * pglobal = m_pglobal;
   pitem->m_pbutton3->set_callback([pglobal, pitem] { pglobal->clone_preset_to_layers(pitem->m_iLayerIndex); });
   pitem->m_pbutton1->set_callback([pglobal, pitem] { pglobal->delete_preset(pitem->m_iLayerIndex); });
}

} // namespace Tarvossa_BrisvanePro
