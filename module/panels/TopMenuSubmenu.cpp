#include "panels/TopMenuSubmenu.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iostream>

#include "core/Global.h"
#include "core/screen_link.h"
#include "document/boxes_layer.h"
#include "document/image_layer.h"
#include "document/project.h"
#include "orvo/exception.h"
#include "orvo/image_service.h"
#include "panels/WidgetWithBackground.h"
#include "panels/fill_widget.h"
#include "panels/panel_colors.h"
#include "zel2d/context.h"
#include "zelui/BoxLayout.h"
#include "zelui/Label.h"
#include "zelui/Screen.h"
#include "zelui/file_dialog.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

// The four fields of an item line; missing fields are empty.
std::array<string_base, 4> item_fields(scoped_string_base strLine)
{
   std::array<string_base, 4> fields;
   std::size_t iField = 0;
   for (char ch : strLine)
   {
      if (ch == '|' && iField + 1 < fields.size())
      {
         ++iField;
      }
      else
      {
         fields[iField] += ch;
      }
   }
   return fields;
}

void flip(int & iSwitch)
{
   iSwitch = iSwitch == 0 ? 1 : 0;
}

// A drop-down opens right under the menu strip.
constexpr int menu_top = 20;
// The strips at the top and foot of a menu too long for the screen, with the arrows that scroll it.
constexpr int scroll_strip_height = 12;

} // namespace

TopMenuSubmenu::TopMenuSubmenu(Global * pglobal, zelui::Widget * pparent, scoped_string_base strBody) :
   HoverContainer(pparent),
   m_pglobal(pglobal)
{
   set_layout(new zelui::BoxLayout(zelui::e_orientation_vertical, zelui::e_alignment_minimum, 0, 0));
   string_array_base lines;
   lines._add_lines(strBody);
   for (const string_base & strLine : lines)
   {
      add_item(strLine);
   }
   build_action_table();
}

TopMenuSubmenu::TopMenuSubmenu(zelui::Widget * pparent) :
   HoverContainer(pparent)
{
   set_layout(new zelui::BoxLayout(zelui::e_orientation_vertical, zelui::e_alignment_minimum, 0, 0));
}

TopMenuSubmenu::~TopMenuSubmenu() = default;

void TopMenuSubmenu::add_item(scoped_string_base strLine)
{
   auto [strCaption, strTooltip, strUnused, strShortcut] = item_fields(strLine);
   m_straCaptions.add(strCaption);
   unsigned long n = static_cast<unsigned long>(m_straCaptions.count() - 1);
   auto pitem = new WidgetWithBackground(this, panel_colors::menu, panel_colors::menu_hover, panel_colors::menu_selected,
                                         m_pglobal, nullptr);
   pitem->set_layout(new zelui::BoxLayout(zelui::e_orientation_horizontal, zelui::e_alignment_minimum, 2, 0));
   pitem->set_menu_name(strCaption);
   pitem->set_tooltip(strTooltip);
   new zelui::Label(pitem, strCaption, "sans");
   pitem->setAccessKey(upper_case(strShortcut));
   if (!strShortcut.empty())
   {
      new zelui::Label(pitem, create_readable_keycode(strShortcut), "sans");
   }
   pitem->set_callback(
      [this, n]
      {
         std::cout << "Submenu clicked, id: " << n << std::endl;
         clicked_to(n);
         fold();
         return true;
      });
   m_items.push_back(pitem);
}

string_base TopMenuSubmenu::create_readable_keycode(scoped_string_base strKey)
{
   return format(" [%s]", string_base(strKey).c_str());
}

void TopMenuSubmenu::clicked_to(unsigned long n)
{
   fold();
   if (n >= static_cast<unsigned long>(m_straCaptions.count()))
   {
      throw exception(error_out_of_range, format("menu item %lu out of range", n));
   }
   auto it = m_actions.find(m_straCaptions[static_cast<long long>(n)]);
   if (it == m_actions.end())
   {
      return;
   }
   it->second();
   reload_all();
}

void TopMenuSubmenu::reload_all() const
{
   if (screen_link * pscreen = m_pglobal ? m_pglobal->get_app() : nullptr)
   {
      pscreen->reload_all(true);
   }
}

bool TopMenuSubmenu::shortcut(const enumeration<user::enum_key> & ekey) const
{
   for (WidgetWithBackground * pitem : m_items)
   {
      if (pitem->getAccessKey().empty() ||
          !keyboard::is_equivalent_using_modifiers_groups(ekey, keyboard::string_key(pitem->getAccessKey())))
      {
         continue;
      }
      // The item acts on the value the user sees in the text box being edited.
      if (zelui::Screen * pscreen = screen())
      {
         pscreen->commit_focused_edit();
      }
      pitem->exec();
      reload_all();
      return true;
   }
   return false;
}

void TopMenuSubmenu::fold()
{
   for (WidgetWithBackground * pitem : m_items)
   {
      pitem->killFocus();
   }
   set_visible(false);
   set_need_redraw();
   post_redraw();
}

void TopMenuSubmenu::killFocus()
{
   for (WidgetWithBackground * pitem : m_items)
   {
      pitem->killFocus();
   }
}

void TopMenuSubmenu::show_at(int x)
{
   set_position({x, menu_top});
   m_iFirstShown = 0;
   set_visible(true);
}

void TopMenuSubmenu::perform_layout(zel2d::context * pcontext)
{
   const size_type<int> sizeItems = preferred_size(pcontext);
   size_type<int> size = sizeItems;
   point_type<int> point = position();
   if (const zelui::Widget * pparent = parent(); pparent && pparent->width() > 0 && pparent->height() > 0)
   {
      point.x = std::clamp(point.x, 0, std::max(0, pparent->width() - size.width));
      size.height = std::min(size.height, std::max(pparent->height() - point.y, 0));
   }
   m_bScrolling = size.height < sizeItems.height;
   set_position(point);
   set_size(size);
   zelui::Widget::perform_layout(pcontext);
   if (m_bScrolling)
   {
      scroll_items(0);
   }
}

void TopMenuSubmenu::place_items_shown()
{
   int y = scroll_strip_height;
   const int iBottom = height() - scroll_strip_height;
   for (long long i = 0; i < child_count(); ++i)
   {
      zelui::Widget * pitem = child_at(i);
      const bool bShown = i >= m_iFirstShown && y + pitem->height() <= iBottom;
      pitem->set_position({pitem->x(), bShown ? y : height()});
      y += bShown ? pitem->height() : 0;
   }
}

zelui::Widget * TopMenuSubmenu::item_at(const point_type<int> & point) const
{
   for (const pointer<zelui::Widget> & pitem : children())
   {
      if (pitem->contains(point - pitem->position()))
      {
         return pitem.get();
      }
   }
   return nullptr;
}

void TopMenuSubmenu::scroll_items(long long iItems)
{
   // The last first item: the one from which every item to the end fits between the strips.
   long long iLastFirst = child_count();
   for (int iRoom = height() - 2 * scroll_strip_height; iLastFirst > 0 && child_at(iLastFirst - 1)->height() <= iRoom;)
   {
      iRoom -= child_at(--iLastFirst)->height();
   }
   m_iFirstShown = std::clamp(m_iFirstShown + iItems, 0LL, std::max(iLastFirst, 0LL));
   // The items move under a pointer that stays: the one it leaves and the one it comes over are
   // told, so that the highlight and the tooltip follow.
   zelui::Screen * pscreen = screen();
   const point_type<int> point = pscreen ? pscreen->mouse_position() - absolute_position() : point_type<int>{-1, -1};
   zelui::Widget * pbefore = item_at(point);
   place_items_shown();
   zelui::Widget * pafter = item_at(point);
   if (pbefore != pafter)
   {
      for (const auto & [pitem, bEnter] : {std::pair{pbefore, false}, std::pair{pafter, true}})
      {
         if (pitem)
         {
            pitem->mouse_enter_event(point - pitem->position(), bEnter, pscreen->modifiers());
         }
      }
   }
   set_need_redraw();
   post_redraw();
}

bool TopMenuSubmenu::mouse_button_event(const point_type<int> & point, enumeration<user::enum_mouse> ebutton, bool bDown,
                                        bool bDoubleClick, const enumeration<user::enum_key> & emodifiers)
{
   if (m_bScrolling && (point.y < scroll_strip_height || point.y >= height() - scroll_strip_height))
   {
      if (bDown && ebutton == user::e_mouse_left_button)
      {
         scroll_items(point.y < scroll_strip_height ? -1 : 1);
      }
      return true;
   }
   return HoverContainer::mouse_button_event(point, ebutton, bDown, bDoubleClick, emodifiers);
}

bool TopMenuSubmenu::scroll_event(const point_type<int> & point, const size_type<float> & delta)
{
   if (!m_bScrolling)
   {
      return HoverContainer::scroll_event(point, delta);
   }
   // One notch (a delta of 10) is one item; a positive delta scrolls up.
   const long long iNotches = std::lround(delta.height / 10.0f);
   scroll_items(iNotches != 0 ? -iNotches : (delta.height > 0.0f ? -1 : 1));
   return true;
}

void TopMenuSubmenu::draw(zel2d::context * pcontext)
{
   fill_widget(pcontext, *this, panel_colors::menu);
   zelui::Widget::draw(pcontext);
   if (m_bScrolling)
   {
      draw_scroll_arrows(pcontext);
   }
}

void TopMenuSubmenu::draw_scroll_arrows(zel2d::context * pcontext)
{
   const auto fx = static_cast<float>(x());
   const auto fy = static_cast<float>(y());
   const auto fMiddle = fx + static_cast<float>(width()) * 0.5f;
   const auto fStrip = static_cast<float>(scroll_strip_height);
   const auto fBottom = fy + static_cast<float>(height());
   const bool bMoreAbove = m_iFirstShown > 0;
   const bool bMoreBelow = child_count() > 0 && child_at(child_count() - 1)->y() >= height();
   zel2d::saved_state state(pcontext);
   // An arrow pointing up (`fDirection` -1) or down (1) with its tip at (fMiddle, fTip).
   auto arrow = [&](float fTip, float fDirection, bool bMore)
   {
      pcontext->begin_path();
      pcontext->move_to(fMiddle, fTip);
      pcontext->line_to(fMiddle - 4.0f, fTip - 4.0f * fDirection);
      pcontext->line_to(fMiddle + 4.0f, fTip - 4.0f * fDirection);
      pcontext->close_path();
      pcontext->set_fill_color(bMore ? panel_colors::menu_title : panel_colors::menu_hover);
      pcontext->fill();
   };
   arrow(fy + fStrip * 0.5f - 2.0f, -1.0f, bMoreAbove);
   arrow(fBottom - fStrip * 0.5f + 2.0f, 1.0f, bMoreBelow);
}

function<void()> TopMenuSubmenu::on_current_screen_layer(const function<void(boxes_layer &)> & edit) const
{
   Global * pglobal = m_pglobal;
   return [pglobal, edit]
   {
      if (pglobal)
      {
         pglobal->change_current_boxes_layer(layer_change::look, edit);
      }
   };
}

void TopMenuSubmenu::build_action_table()
{
   Global * pglobal = m_pglobal;
   auto controller = [pglobal](auto pfn) { return [pglobal, pfn] { (pglobal->*pfn)(); }; };
   auto flip_switch = [this](int BoxesLayerDescription::*pfield)
   {
      return on_current_screen_layer(
         [pfield](boxes_layer & layer) { flip(layer.*pfield); });
   };

   m_actions["New"] = [pglobal]
   {
      pglobal->load_default_layers();
      pglobal->follow_current_layer();
   };
   m_actions["Open Project..."] = controller(&Global::open_project_button);
   m_actions["Save Project..."] = controller(&Global::save_project_button);
   m_actions["Export PNG..."] = controller(&Global::save_png_button);
   m_actions["Export PSD..."] = controller(&Global::save_psd_button);
   m_actions["Export Resolume Arena..."] = controller(&Global::layers_to_xml);
   m_actions["Add Screen Layer"] = [pglobal]
   {
      if (project * pproject = pglobal->current_project())
      {
         pproject->new_boxes_layer();
      }
   };
   m_actions["Add Image Layer"] = [pglobal] { addImageLayer(pglobal); };
   m_actions["Set Logo Layer"] = controller(&Global::setLogoLayer);
   m_actions["Clone Current Layer"] = [pglobal] { pglobal->clone_current_layer(); };
   m_actions["Delete Current Layer"] = controller(&Global::delete_current_layer);
   m_actions["Background Color"] = on_current_screen_layer([](boxes_layer & layer) { layer.switch_all_exclude_boxes(); });
   m_actions["Outline"] = flip_switch(&BoxesLayerDescription::DrawGrid);
   m_actions["Centering Circle"] = flip_switch(&BoxesLayerDescription::DrawCircle);
   m_actions["XY Offsets Label"] =
      on_current_screen_layer([](boxes_layer & layer) { layer.toggle_corner_label(e_corner_top_left); });
   m_actions["Screen Size Label"] = flip_switch(&BoxesLayerDescription::DrawScreenSize);
   m_actions["Cabinet ID"] = flip_switch(&BoxesLayerDescription::DrawBoxesNames);
   m_actions["Power Label"] = flip_switch(&BoxesLayerDescription::DrawPower);
   m_actions["Data Path"] = flip_switch(&BoxesLayerDescription::DrawSnake);
   for (int iPattern = 1; iPattern <= 8; ++iPattern)
   {
      m_actions[format("Path Pattern %d", iPattern)] = on_current_screen_layer(
         [iPattern](boxes_layer & layer) { layer.m_descriptionData.m_iMode = iPattern - 1; });
   }
   m_actions["No Live Output"] = [pglobal] { set_live_output(pglobal, -1); };
   // The tool windows and the links are the screen's own.
   if (screen_link * pscreen = pglobal->get_app())
   {
      pscreen->add_menu_actions(m_actions);
   }
}

void TopMenuSubmenu::set_live_output(Global * pglobal, long long iMonitor)
{
   if (screen_link * pscreen = pglobal ? pglobal->get_app() : nullptr)
   {
      pscreen->set_live_output_to_monitor(iMonitor);
   }
}

void TopMenuSubmenu::addImageLayer(Global * pglobal)
{
   if (!pglobal)
   {
      return;
   }
   pglobal->ask_for_file(file::file_dialog::e_kind_open, file_dialog_filters(),
                         [pglobal](file::file_dialog * pdialog) { on_image_layer_picture_chosen(pglobal, pdialog->get_file_path()); });
}

void TopMenuSubmenu::on_image_layer_picture_chosen(Global * pglobal, const file::path & path)
{
   if (path.is_empty())
   {
      return;
   }
   outcome<pointer<image::image>> result = image::load_image(path);
   if (!result || !result.value()->_is_ok())
   {
      pglobal->show_error("Error loading image.");
      return;
   }
   project * pproject = pglobal->current_project();
   pointer<image_layer> player = pproject ? pproject->new_image_layer() : nullptr;
   if (!player)
   {
      return;
   }
   // The picture first: it gives the layer the aspect that the size setters keep.
   player->set_image(result.value());
   player->set_width(result.value()->width());
   player->set_height(result.value()->height());
   pglobal->follow_current_layer();
}

} // namespace Tarvossa_BrisvanePro
