#include "panels/RightPanel.h"

#include <utility>

#include "panels/LayerList.h"
#include "panels/PresetList.h"
#include "panels/fill_widget.h"
#include "panels/panel_colors.h"
#include "zelui/BoxLayout.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

// Runs `sync` unless `bGuard` says that it runs already; the guard is put back however it ends.
template <typename SYNC>
void guarded(bool & bGuard, SYNC && sync)
{
   if (bGuard)
   {
      return;
   }
   struct restore
   {
      bool & m_bGuard;
      bool m_bPrevious;
      ~restore() { m_bGuard = m_bPrevious; }
   } guard{bGuard, std::exchange(bGuard, true)};
   sync();
}

} // namespace

RightPanel::RightPanel(zelui::Widget * pparent, Global * pglobal) :
   zelui::Widget(pparent),
   m_pglobal(pglobal)
{
   set_layout(new zelui::BoxLayout(zelui::e_orientation_vertical, zelui::e_alignment_middle, 0, 5));
   m_ppresetlist = new PresetList(this, pglobal);
   m_playerlist = new LayerList(this, pglobal);
}

RightPanel::~RightPanel() = default;

void RightPanel::set_fixed_size(const size_type<int> & size)
{
   zelui::Widget::set_fixed_size(size);
   size_type<int> sizeList{size.width, size.height / 2 - 5};
   if (m_playerlist)
   {
      m_playerlist->set_fixed_size(sizeList);
   }
   if (m_ppresetlist)
   {
      m_ppresetlist->set_fixed_size(sizeList);
   }
}

void RightPanel::syncFromGlobalLayers(zel2d::context * pcontext)
{
   guarded(m_bSyncingLayers,
           [&]
           {
              if (m_playerlist)
              {
                 m_playerlist->syncFromGlobal(pcontext);
              }
           });
}

void RightPanel::syncFromGlobalPresets(zel2d::context * pcontext)
{
   guarded(m_bSyncingPresets,
           [&]
           {
              if (m_ppresetlist)
              {
                 m_ppresetlist->syncFromGlobal(pcontext);
              }
           });
}

bool RightPanel::isOnlyCurrentChecked() const
{
   return m_playerlist && m_playerlist->isOnlyCurrentChecked();
}


void RightPanel::draw(zel2d::context * pcontext)
{
   fill_widget(pcontext, *this, panel_colors::side_panel);
   zelui::Widget::draw(pcontext);
}

} // namespace Tarvossa_BrisvanePro
