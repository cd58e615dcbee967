#pragma once

#include "panels/forward.h"
#include "zelui/Widget.h"

namespace zelui
{
class VScrollPanel;
}

namespace Tarvossa_BrisvanePro
{

// The frame of a side-panel list: a vertical scroll panel holding the rows above a row of
// buttons that the derived list fills. The parts are sized once a drawing context is at hand.
class RightPanelList : public zelui::Widget
{
public:
   RightPanelList(zelui::Widget * pparent, Global * pglobal, bool bLayers);
   ~RightPanelList() override;

   // Brings the rows in line with the document's layers or the presets.
   void syncFromGlobal(zel2d::context * pcontext);
   // Stores the size and sizes the scroll panel and the rows at the next frame, under the
   // button row's preferred height.
   void set_fixed_size(const size_type<int> & size) override;

   ScrollList * scroll_list() const noexcept { return m_pscrolllist; }
   zelui::VScrollPanel * scroll_panel() const noexcept { return m_pscrollpanel; }
   zelui::Widget * button_row() const noexcept { return m_pwidgetButtons; }

protected:
   // The first frame fills the rows; asks the window for that frame.
   void sync_at_next_frame();

   Global * m_pglobal;
   zelui::VScrollPanel * m_pscrollpanel = nullptr;
   ScrollList * m_pscrolllist = nullptr;
   zelui::Widget * m_pwidgetButtons = nullptr;
};

} // namespace Tarvossa_BrisvanePro
