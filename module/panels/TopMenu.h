#pragma once

#include <map>
#include <vector>

#include "orvo/keyboard.h"
#include "orvo/pointer.h"
#include "orvo/string_array.h"
#include "panels/forward.h"
#include "zelui/Widget.h"

namespace Tarvossa_BrisvanePro
{

// The menu strip across the top of the root screen: the product title and the menu bar, one
// caption per section of the menu definition text. A click on a caption opens its drop-down
// under the strip; while one is open, hovering another caption switches to it; a press that
// nothing takes folds them all. It routes keyboard shortcuts to the drop-downs and rebuilds the
// "Live Output" drop-down, one item per monitor other than the main window's, at each opening.
class TopMenu : public zelui::Widget
{
public:
   // The section of the "Live Output" drop-down.
   static constexpr long long live_output_section = 4;

   TopMenu(zelui::Widget * pparent, Global * pglobal);
   ~TopMenu() override;

   void setSubmenu(long long iSection);
   void createSubmenu(long long iSection);
   void fold();
   // Offers a key to the drop-downs in section order; true when one fired an item.
   bool keytrigger(const enumeration<user::enum_key> & ekey);
   bool is_showing_any_submenu() const;
   // The index of a caption item of the bar, or -1.
   long long find_submenu(WidgetWithBackground * pitem) const;
   // Every monitor index but the main window's, ascending.
   std::vector<int> get_live_output_monitors() const;
   // The monitors 0 to `iCount` - 1 without `iMainMonitor`.
   static std::vector<int> monitors_except(int iCount, int iMainMonitor);

   const string_array_base & captions() const noexcept { return m_straCaptions; }
   TopMenuMain * menu_bar() const noexcept { return m_pmenumain; }
   // The drop-down of a section, or null before it exists.
   TopMenuSubmenu * submenu(long long iSection) const;

   bool mouse_button_event(const point_type<int> & point, enumeration<user::enum_mouse> ebutton, bool bDown, bool bDoubleClick,
                           const enumeration<user::enum_key> & emodifiers) override;
   void draw(zel2d::context * pcontext) override;

private:
   void read_sections(scoped_string_base strMenu);
   void refresh_live_output_items(TopMenuSubmenu * psubmenu);

   Global * m_pglobal;
   TopMenuMain * m_pmenumain = nullptr;
   string_array_base m_straCaptions;
   string_array_base m_straBodies;
   std::map<long long, pointer<TopMenuSubmenu>> m_submenus;
};

} // namespace Tarvossa_BrisvanePro
