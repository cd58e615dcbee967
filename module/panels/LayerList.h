#pragma once

#include "orvo/pointer.h"
#include "panels/RightPanelList.h"

namespace zelui
{
class CheckBox;
}

namespace Tarvossa_BrisvanePro
{

// The lower half of the side panel: the document's layers above the buttons "Clone Current",
// "+" (the add-layer menu), "-" and the check box "Draw Current Only".
class LayerList : public RightPanelList
{
public:
   LayerList(zelui::Widget * pparent, Global * pglobal);
   ~LayerList() override;

   // "Draw Current Only": the screen layers other than the current one are drawn without box fills.
   bool isOnlyCurrentChecked() const;

private:
   pointer<zelui::CheckBox> m_pcheckboxOnlyCurrent;
};

} // namespace Tarvossa_BrisvanePro
