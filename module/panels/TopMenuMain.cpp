#include "panels/TopMenuMain.h"

#include "panels/TopMenu.h"
#include "panels/WidgetWithBackground.h"
#include "panels/panel_colors.h"
#include "zelui/BoxLayout.h"
#include "zelui/Label.h"
#include "zelui/interaction.h"

namespace Tarvossa_BrisvanePro
{

TopMenuMain::TopMenuMain(Global * pglobal, TopMenu * powner, const string_array_base & straCaptions) :
   HoverContainer(powner),
   m_straCaptions(straCaptions),
   m_powner(powner),
   m_pglobal(pglobal)
{
   // The operating-system window may keep room for its own buttons at the left of the strip.
   user::interaction * pinteraction = interaction();
   set_position({6 + (pinteraction ? pinteraction->system_button_area_width() : 0), 0});
   set_layout(new zelui::BoxLayout(zelui::e_orientation_horizontal, zelui::e_alignment_middle, 2, 15));
   for (long long i = 0; i < m_straCaptions.count(); ++i)
   {
      auto pitem = new WidgetWithBackground(this, panel_colors::menu, panel_colors::menu_hover, panel_colors::menu_selected,
                                            m_pglobal, nullptr);
      pitem->set_layout(new zelui::BoxLayout(zelui::e_orientation_horizontal, zelui::e_alignment_minimum, 0, 0));
      new zelui::Label(pitem, " " + m_straCaptions[i] + " ", "sans");
      pitem->set_callback(
         [powner, i]
         {
            powner->setSubmenu(i);
            return true;
         });
      m_items.push_back(pitem);
      m_powner->createSubmenu(i);
   }
}

TopMenuMain::~TopMenuMain() = default;

void TopMenuMain::on_item_hover(user::item * pitem)
{
   HoverContainer::on_item_hover(pitem);
   auto pcaption = dynamic_cast<WidgetWithBackground *>(pitem);
   if (!pcaption || !m_powner->is_showing_any_submenu())
   {
      return;
   }
   long long iSection = m_powner->find_submenu(pcaption);
   if (iSection >= 0)
   {
      m_powner->setSubmenu(iSection);
   }
}

} // namespace Tarvossa_BrisvanePro
