#include "toolwindows/SettingsBoxesColors.h"

#include "document/boxes_layer.h"
#include "orvo/exception.h"
#include "zelui/BoxLayout.h"
#include "zelui/GridLayout.h"
#include "zelui/Popup.h"
#include "zelui/TabWidget.h"

namespace Tarvossa_BrisvanePro
{

const color::color g_colortablea[6] = {
   {0x40, 0x80, 0x80, 0xff}, {0xd7, 0x01, 0x01, 0xff}, {0xa0, 0xa0, 0x30, 0xff},
   {0x40, 0x80, 0x40, 0xff}, {0x80, 0x20, 0x80, 0xff}, {0x20, 0x20, 0x80, 0xff},
};

SettingsBoxesColors::ControlBox::ControlBox(zelui::Widget * pparent, Global *) : zelui::Widget(pparent)
{
   set_layout(new zelui::BoxLayout(zelui::e_orientation_vertical, zelui::e_alignment_middle, 0, 3));
   m_pbuttonAdd = new zelui::Button(this, "Add", 0);
   m_pbuttonAdd->set_fixed_size({80, 22});
   m_pbuttonDelete = new zelui::Button(this, "Delete", 0);
   m_pbuttonDelete->set_fixed_size({80, 22});
}

SettingsBoxesColors::ControlBox::~ControlBox() = default;

SettingsBoxesColors::ColorGrid::ColorGrid(zelui::Widget * pparent, Global *) : zelui::Widget(pparent)
{
   m_pairs.reserve(15);
   set_layout(new zelui::GridLayout(zelui::e_orientation_horizontal, 2, zelui::e_alignment_fill, 0, 0));
}

SettingsBoxesColors::ColorGrid::~ColorGrid() = default;

SettingsBoxesColors::SettingsBoxesColors(zelui::Widget * pparent, Global * pglobal) :
   SettingsBaseWindow(pparent, pglobal, "Colors        ")
{
   set_layout(new zelui::BoxLayout(zelui::e_orientation_vertical, zelui::e_alignment_middle, 0, 5));
   set_size({250, 300});
   m_pcontrolbox = new ControlBox(this, pglobal);
   m_pcolorgrid = new ColorGrid(this, pglobal);
   m_pcontrolbox->m_pbuttonAdd->set_callback([this]
   {
      ++m_iRowCount;
      update_visibility();
   });
   m_pcontrolbox->m_pbuttonDelete->set_callback([this]
   {
      if (m_iRowCount >= 1)
      {
         --m_iRowCount;
         update_visibility();
      }
   });
}

SettingsBoxesColors::~SettingsBoxesColors() = default;

const size_type<int> & SettingsBoxesColors::getButtonSize()
{
   static const size_type<int> size{55, 22};
   return size;
}

void SettingsBoxesColors::call_draw(zel2d::context * pcontext)
{
   zelui::Widget::call_draw(pcontext);
}

void SettingsBoxesColors::draw(zel2d::context * pcontext)
{
   zelui::Window::draw(pcontext);
}

std::pair<zelui::ColorPicker *, zelui::ColorPicker *> SettingsBoxesColors::color_picker_pair(int iRow)
{
   if (iRow < 0 || iRow >= m_iRowCount)
   {
      throw exception(error_out_of_range, format("Colors: no row %d of %lld", iRow, m_iRowCount));
   }
   auto & pairs = m_pcolorgrid->m_pairs;
   while (static_cast<long long>(pairs.size()) < m_iRowCount)
   {
      const int iNewRow = static_cast<int>(pairs.size());
      const color::color color = g_colortablea[iNewRow % 6];
      auto make_picker = [this, iNewRow](color::color colorInitial, bool bTint)
      {
         auto * ppicker = new zelui::ColorPicker(m_pcolorgrid, colorInitial);
         ppicker->set_visible(false);
         ppicker->set_callback([this, iNewRow, bTint](const color::hls & hls)
         {
            bTint ? syncTintColorsToLayer(iNewRow, color::color(hls, 255)) : syncColorsToLayer(iNewRow, color::color(hls, 255));
         });
         ppicker->set_fixed_size(getButtonSize());
         return ppicker;
      };
      zelui::ColorPicker * pcolor = make_picker(color, false);
      zelui::ColorPicker * ptint = make_picker(BoxesLayerDescription::tint_of(color), true);
      pairs.emplace_back(pcolor, ptint);
   }
   return pairs[static_cast<std::size_t>(iRow)];
}

void SettingsBoxesColors::sync_list_to_layer(int iRow, color::color color, bool bTints)
{
   pointer<boxes_layer> player = current_boxes_layer();
   if (player)
   {
      std::vector<color::color> colors;
      colors.reserve(static_cast<std::size_t>(m_iRowCount));
      for (int i = 0; i < m_iRowCount; ++i)
      {
         const auto [pcolor, ptint] = color_picker_pair(i);
         colors.push_back(i == iRow ? color : color::color((bTints ? ptint : pcolor)->color(), 255));
      }
      // Showing a layer writes back what the pickers show: the layer changes only where that
      // differs, so that refreshing the window draws nothing again.
      auto colours_of = [bTints](boxes_layer & layer) -> std::vector<color::color> &
      {
         return bTints ? layer.BoxTintColors : layer.BoxColors;
      };
      if (colors != colours_of(*player))
      {
         change_layer(layer_change::colours, [&](boxes_layer & layer) { colours_of(layer) = std::move(colors); });
      }
   }
   request_layout_and_redraw();
}

void SettingsBoxesColors::syncColorsToLayer(int iRow, color::color color)
{
   std::lock_guard lock(m_mutexSync);
   sync_list_to_layer(iRow, color, false);
}

void SettingsBoxesColors::syncTintColorsToLayer(int iRow, color::color color)
{
   sync_list_to_layer(iRow, color, true);
}

void SettingsBoxesColors::update_visibility()
{
   syncColorsToLayer(-1, {});
   syncTintColorsToLayer(-1, {});
   if (m_iRowCount > 0)
   {
      color_picker_pair(static_cast<int>(m_iRowCount - 1));
   }
   auto & pairs = m_pcolorgrid->m_pairs;
   for (std::size_t i = 0; i < pairs.size(); ++i)
   {
      const bool bShown = static_cast<long long>(i) < m_iRowCount;
      pairs[i].first->set_visible(bShown);
      pairs[i].second->set_visible(bShown);
   }
   m_pcontrolbox->m_pbuttonDelete->set_enabled(m_iRowCount >= 1);
   set_layout_hook([this](zel2d::context * pcontext) { set_size(preferred_size(pcontext)); });
   request_layout_and_redraw();
}

void SettingsBoxesColors::get_settings_from_layer(const pointer<boxes_layer> & player)
{
   if (!player)
   {
      return;
   }
   m_iRowCount = static_cast<long long>(player->BoxColors.size());
   for (auto & [pcolor, ptint] : m_pcolorgrid->m_pairs)
   {
      pcolor->set_visible(false);
      ptint->set_visible(false);
   }
   for (int i = 0; i < m_iRowCount; ++i)
   {
      const auto [pcolor, ptint] = color_picker_pair(i);
      pcolor->set_color(player->BoxColors[static_cast<std::size_t>(i)].get_hls());
      // A layer read from a file may hold fewer tints than colours: the missing ones are derived.
      ptint->set_color(player->box_tint_color(static_cast<std::size_t>(i)).get_hls());
      pcolor->set_visible(true);
      ptint->set_visible(true);
   }
   update_visibility();
   add_new_rows_to_tab_order();
}

void SettingsBoxesColors::add_new_rows_to_tab_order()
{
   // Each row joins the focus order once; registering the whole window at every fill would add
   // every field again each time.
   pointer_array<zelui::Widget> rows;
   const auto & pairs = m_pcolorgrid->m_pairs;
   for (std::size_t i = m_uRowsInTabOrder; i < pairs.size(); ++i)
   {
      rows.add(pointer<zelui::Widget>(pairs[i].first));
      rows.add(pointer<zelui::Widget>(pairs[i].second));
   }
   m_uRowsInTabOrder = pairs.size();
   add_children_to_tab_order<ColorGrid, zelui::ColorPicker, zelui::Popup, zelui::TabWidget, zelui::ColorPicker::MyGridWidget>(rows);
}

} // namespace Tarvossa_BrisvanePro
