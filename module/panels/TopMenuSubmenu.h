#pragma once

#include <map>
#include <vector>

#include "orvo/function.h"
#include "orvo/keyboard.h"
#include "orvo/path.h"
#include "orvo/string_array.h"
#include "panels/HoverContainer.h"
#include "panels/forward.h"

namespace zelui
{
class Label;
}

namespace Tarvossa_BrisvanePro
{

// One drop-down menu of the top menu: the items of one section of the menu definition text, one
// under the other, each with its caption and, when it has one, its shortcut. A click on an item,
// or its shortcut typed anywhere, runs the action that the caption names in the menu's action
// table and then refreshes the panels and tool windows from the document.
//
// The menu stays inside the screen: moved left as far as it must, and, where the screen is lower
// than its items, as high as the screen allows, showing the items that fit between two arrow
// strips; the wheel, or a press on an arrow, brings the others in, one item a step.
class TopMenuSubmenu : public HoverContainer
{
public:
   // Builds the items from a section body: the section's item lines joined by line feeds, each
   // "caption|tooltip|unused shortcut|shortcut".
   TopMenuSubmenu(Global * pglobal, zelui::Widget * pparent, scoped_string_base strBody);
   // An empty drop-down: no items, no actions.
   explicit TopMenuSubmenu(zelui::Widget * pparent);
   ~TopMenuSubmenu() override;

   bool is_popup() const override { return true; }

   // Shows the menu with its left edge at `x`, right under the menu strip, scrolled to its first item.
   void show_at(int x);
   // Whether the screen is too low for all the items, and the index of the first one shown.
   bool is_scrolling() const noexcept { return m_bScrolling; }
   long long first_item_shown() const noexcept { return m_iFirstShown; }

   // Folds the menu and runs the action of item `n`; an `n` that names no item is an
   // out-of-range exception.
   void clicked_to(unsigned long n);
   // Fires the first item whose shortcut is the key; false when none is.
   bool shortcut(const enumeration<user::enum_key> & ekey) const;
   void fold();
   void killFocus();

   static string_base create_readable_keycode(scoped_string_base strKey);
   // Shows the live output on a monitor; a negative index turns it off.
   static void set_live_output(Global * pglobal, long long iMonitor);
   // Asks for a picture file and makes a new image layer of it, at the picture's size.
   static void addImageLayer(Global * pglobal);
   // What the picture dialog of `addImageLayer` runs with the chosen path (empty: cancelled,
   // nothing done).
   static void on_image_layer_picture_chosen(Global * pglobal, const file::path & path);

   const string_array_base & captions() const noexcept { return m_straCaptions; }
   // The item widgets in display order, and the labels of the items the top menu adds (the
   // monitors of the "Live Output" menu).
   std::vector<WidgetWithBackground *> & items() noexcept { return m_items; }
   std::vector<zelui::Label *> & labels() noexcept { return m_labels; }

   void perform_layout(zel2d::context * pcontext) override;
   void draw(zel2d::context * pcontext) override;
   bool mouse_button_event(const point_type<int> & point, enumeration<user::enum_mouse> ebutton, bool bDown, bool bDoubleClick,
                           const enumeration<user::enum_key> & emodifiers) override;
   bool scroll_event(const point_type<int> & point, const size_type<float> & delta) override;

private:
   // Shows the items from the first one on that fit between the arrow strips; the others stand
   // out of the menu, where nothing reaches them.
   void place_items_shown();
   // Scrolls by a number of items (negative: up), within the items.
   void scroll_items(long long iItems);
   // The item shown at a point of the menu, or null.
   zelui::Widget * item_at(const point_type<int> & point) const;
   void draw_scroll_arrows(zel2d::context * pcontext);

   void add_item(scoped_string_base strLine);
   void build_action_table();
   // An action that changes the current screen layer by `edit`, as a change of its look (see
   // `Global::change_current_boxes_layer`); nothing when the current layer is no screen layer.
   function<void()> on_current_screen_layer(const function<void(boxes_layer &)> & edit) const;
   void reload_all() const;

   Global * m_pglobal = nullptr;
   string_array_base m_straCaptions;
   std::map<string_base, function<void()>> m_actions;
   std::vector<WidgetWithBackground *> m_items;
   std::vector<zelui::Label *> m_labels;
   bool m_bScrolling = false;
   long long m_iFirstShown = 0;
};

} // namespace Tarvossa_BrisvanePro
