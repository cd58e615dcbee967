#include "panels/RightPanelList.h"

#include "panels/W_LayerScrollList.h"
#include "panels/W_PresetScrollList.h"
#include "zelui/BoxLayout.h"
#include "zelui/VScrollPanel.h"
#include "zelui/interaction.h"

namespace Tarvossa_BrisvanePro
{

RightPanelList::RightPanelList(zelui::Widget * pparent, Global * pglobal, bool bLayers) :
   zelui::Widget(pparent),
   m_pglobal(pglobal)
{
   set_layout(new zelui::BoxLayout(zelui::e_orientation_vertical, zelui::e_alignment_middle, 0, 5));
   m_pscrollpanel = new zelui::VScrollPanel(this);
   if (bLayers)
   {
      m_pscrolllist = new W_LayerScrollList(m_pscrollpanel, pglobal);
   }
   else
   {
      m_pscrolllist = new W_PresetScrollList(m_pscrollpanel, pglobal);
   }
   m_pwidgetButtons = new zelui::Widget(this);
   m_pwidgetButtons->set_layout(new zelui::BoxLayout(zelui::e_orientation_horizontal, zelui::e_alignment_middle, 0, 5));
}

RightPanelList::~RightPanelList() = default;

void RightPanelList::syncFromGlobal(zel2d::context * pcontext)
{
   if (m_pscrolllist)
   {
      m_pscrolllist->syncFromGlobal(pcontext);
   }
}

void RightPanelList::set_fixed_size(const size_type<int> & size)
{
   if (!m_pscrolllist || !m_pwidgetButtons)
   {
      return;
   }
   zelui::Widget::set_fixed_size(size);
   set_layout_hook(
      [this, size](zel2d::context * pcontext)
      {
         int iButtons = m_pwidgetButtons->preferred_size(pcontext).height;
         size_type<int> sizePanel{size.width, size.height - iButtons - 10};
         m_pscrollpanel->set_fixed_size(sizePanel);
         m_pscrollpanel->set_size(sizePanel);
         if (m_pscrollpanel->child_count() > 0)
         {
            size_type<int> sizeRows{size.width - 12, sizePanel.height};
            zelui::Widget * prows = m_pscrollpanel->child_at(0);
            prows->set_fixed_size(sizeRows);
            prows->set_size(sizeRows);
         }
      });
}

void RightPanelList::sync_at_next_frame()
{
   set_layout_hook([this](zel2d::context * pcontext) { syncFromGlobal(pcontext); });
   set_need_layout();
   set_need_redraw();
   post_redraw();
}

} // namespace Tarvossa_BrisvanePro
