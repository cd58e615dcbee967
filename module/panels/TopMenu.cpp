#include "panels/TopMenu.h"

#include <algorithm>

#include "core/Global.h"
#include "host/context.h"
#include "host/windowing.h"
#include "panels/TopMenuMain.h"
#include "panels/TopMenuSubmenu.h"
#include "panels/WidgetWithBackground.h"
#include "panels/panel_colors.h"
#include "zel2d/context.h"
#include "zelui/BoxLayout.h"
#include "zelui/Label.h"
#include "zelui/Screen.h"
#include "zelui/interaction.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

constexpr float strip_height = 20.0f;
constexpr const char * product_title = "Brisvane Pro";
// The least room between the last caption and the title.
constexpr float title_clearance = 8.0f;

} // namespace

TopMenu::TopMenu(zelui::Widget * pparent, Global * pglobal) :
   zelui::Widget(pparent),
   m_pglobal(pglobal)
{
   read_sections(m_pglobal->get_menu_string());
   m_pmenumain = new TopMenuMain(m_pglobal, this, m_straCaptions);
}

TopMenu::~TopMenu() = default;

void TopMenu::read_sections(scoped_string_base strMenu)
{
   string_array_base lines;
   lines._add_lines(strMenu);
   string_base strBody;
   auto close_body = [&]
   {
      if (!strBody.empty())
      {
         m_straBodies.add(strBody);
      }
      strBody.clear();
   };
   for (const string_base & strLine : lines)
   {
      if (!strLine.empty() && strLine[0] == '#')
      {
         m_straCaptions.add(scoped_string_base(strLine).substr(1));
         close_body();
         continue;
      }
      if (!strBody.empty())
      {
         strBody += '\n';
      }
      strBody += strLine;
   }
   close_body();
}

TopMenuSubmenu * TopMenu::submenu(long long iSection) const
{
   auto it = m_submenus.find(iSection);
   return it == m_submenus.end() ? nullptr : it->second.get();
}

void TopMenu::createSubmenu(long long iSection)
{
   if (TopMenuSubmenu * psubmenu = submenu(iSection))
   {
      if (iSection == live_output_section)
      {
         refresh_live_output_items(psubmenu);
      }
      return;
   }
   zelui::Widget * pscreen = screen() ? static_cast<zelui::Widget *>(screen()) : parent();
   string_base strBody = iSection >= 0 && iSection < m_straBodies.count() ? m_straBodies[iSection] : string_base();
   pointer<TopMenuSubmenu> psubmenu = make_pointer<TopMenuSubmenu>(m_pglobal, pscreen, strBody);
   m_submenus[iSection] = psubmenu;
   psubmenu->fold();
}

void TopMenu::refresh_live_output_items(TopMenuSubmenu * psubmenu)
{
   // Every item but the first ("No Live Output") goes, last first.
   auto & items = psubmenu->items();
   while (items.size() > 1)
   {
      psubmenu->remove_child(items.back());
      items.pop_back();
   }
   psubmenu->labels().clear();
   for (int iMonitor : get_live_output_monitors())
   {
      auto pitem = new WidgetWithBackground(psubmenu, panel_colors::menu, panel_colors::menu_hover,
                                            panel_colors::menu_selected, m_pglobal, nullptr);
      pitem->set_layout(new zelui::BoxLayout(zelui::e_orientation_horizontal, zelui::e_alignment_minimum, 2, 0));
      auto plabel = new zelui::Label(pitem, format("Live Output to Screen %d", iMonitor + 1), "sans");
      items.push_back(pitem);
      psubmenu->labels().push_back(plabel);
      Global * pglobal = m_pglobal;
      pitem->set_callback(
         [pglobal, psubmenu, iMonitor]
         {
            TopMenuSubmenu::set_live_output(pglobal, iMonitor);
            psubmenu->fold();
            return true;
         });
   }
}

std::vector<int> TopMenu::monitors_except(int iCount, int iMainMonitor)
{
   std::vector<int> monitors;
   for (int i = 0; i < iCount; ++i)
   {
      if (i != iMainMonitor)
      {
         monitors.push_back(i);
      }
   }
   return monitors;
}

std::vector<int> TopMenu::get_live_output_monitors() const
{
   user::windowing * pwindowing = platform::context::windowing();
   user::interaction * pinteraction = interaction();
   if (!pwindowing || !pinteraction)
   {
      return {};
   }
   return monitors_except(pwindowing->monitor_count(), pwindowing->monitor_of(pinteraction->window_rectangle(3)));
}

void TopMenu::setSubmenu(long long iSection)
{
   fold();
   createSubmenu(iSection);
   pointer<TopMenuSubmenu> psubmenu = submenu(iSection);
   if (!psubmenu)
   {
      return;
   }
   zelui::Screen * pscreen = screen();
   psubmenu->show_at(pscreen ? pscreen->mouse_position().x : 0);
   // The drop-down takes the size its items need (the "Live Output" items change at each opening).
   set_layout_hook(
      [this, psubmenu](zel2d::context * pcontext)
      {
         psubmenu->perform_layout(pcontext);
         perform_layout(pcontext);
      });
   psubmenu->to_top();
   psubmenu->set_need_layout();
   psubmenu->set_need_redraw();
   psubmenu->post_redraw();
   set_need_layout();
   set_need_redraw();
   post_redraw();
}

void TopMenu::fold()
{
   for (auto & [iSection, psubmenu] : m_submenus)
   {
      psubmenu->fold();
   }
}

bool TopMenu::keytrigger(const enumeration<user::enum_key> & ekey)
{
   for (auto & [iSection, psubmenu] : m_submenus)
   {
      if (psubmenu->shortcut(ekey))
      {
         return true;
      }
   }
   return false;
}

bool TopMenu::is_showing_any_submenu() const
{
   return std::any_of(m_submenus.begin(), m_submenus.end(), [](const auto & entry) { return entry.second->visible(); });
}

long long TopMenu::find_submenu(WidgetWithBackground * pitem) const
{
   const auto & items = m_pmenumain->items();
   auto it = std::find(items.begin(), items.end(), pitem);
   return it == items.end() ? -1 : static_cast<long long>(it - items.begin());
}

bool TopMenu::mouse_button_event(const point_type<int> & point, enumeration<user::enum_mouse> ebutton, bool bDown,
                                 bool bDoubleClick, const enumeration<user::enum_key> & emodifiers)
{
   bool bHandled = zelui::Widget::mouse_button_event(point, ebutton, bDown, bDoubleClick, emodifiers);
   if (bDown && !bHandled)
   {
      fold();
   }
   return bHandled;
}

void TopMenu::draw(zel2d::context * pcontext)
{
   auto fx = static_cast<float>(x());
   auto fy = static_cast<float>(y());
   auto fWidth = static_cast<float>(width());
   {
      zel2d::saved_state state(pcontext);
      pcontext->begin_path();
      pcontext->rectangle(fx, fy, fWidth, strip_height);
      pcontext->set_fill_color(panel_colors::menu);
      pcontext->fill();
   }
   pcontext->set_font_face("sans");
   pcontext->set_font_size(18.0f);
   pcontext->set_fill_color(panel_colors::menu_title);
   pcontext->set_text_align(zel2d::align_center | zel2d::align_middle);
   const float fCentre = fx + fWidth * 0.5f;
   // A strip too narrow for the title beside the captions shows none of it, rather than pieces of
   // it between the captions.
   const float fTitleHalf = pcontext->text_bounds(0.0f, 0.0f, product_title, nullptr) * 0.5f;
   const float fCaptionsEnd = fx + static_cast<float>(m_pmenumain->x() + m_pmenumain->width()) + title_clearance;
   if (fCentre - fTitleHalf >= fCaptionsEnd)
   {
      pcontext->text(fCentre, fy + strip_height * 0.5f, product_title);
   }
   zelui::Widget::draw(pcontext);
}

} // namespace Tarvossa_BrisvanePro
