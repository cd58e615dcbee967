#include "panels/ScrollList.h"

#include <algorithm>
#include <unordered_set>

#include "core/Global.h"
#include "document/boxes_layer.h"
#include "document/project.h"
#include "orvo/exception.h"
#include "panels/CheckboxWithFocus.h"
#include "panels/ClickableWidget.h"
#include "panels/LayerPreviewImage.h"
#include "panels/WidgetWithBackground.h"
#include "panels/panel_colors.h"
#include "zelui/BoxLayout.h"
#include "zelui/Button.h"
#include "zelui/GridLayout.h"
#include "zelui/Label.h"
#include "zelui/Screen.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

// Columns or rows of a screen layer, half a box less when a half-size first or last one is set.
string_base grid_count_text(int iCount, bool bHalf)
{
   return format("%.2f", static_cast<double>(iCount) - (bHalf ? 0.5 : 0.0));
}

} // namespace

void ScrollList::list_item::updateFromLayer(const pointer<app_layer> & player)
{
   if (m_pcheckboxVisible)
   {
      m_pcheckboxVisible->set_checked(!player->is_hidden(), e_source_sync);
   }
   if (auto pboxes = dynamic_cast<const boxes_layer *>(player.get()))
   {
      m_plabelColumns->set_caption(grid_count_text(pboxes->Columns, pboxes->HalfColumns[0] || pboxes->HalfColumns[1]));
      m_plabelRows->set_caption(grid_count_text(pboxes->Rows, pboxes->HalfColumns[2] || pboxes->HalfColumns[3]));
   }
   else
   {
      m_plabelColumns->set_caption("N/A");
      m_plabelRows->set_caption("N/A");
   }
   m_plabelWidth->set_caption(format("%d", player->get_full_width()));
   m_plabelHeight->set_caption(format("%d", player->get_full_height()));
}

void ScrollList::list_item::set_visible(bool bVisible)
{
   m_prow->set_visible(bVisible);
   m_ppreview->set_visible(bVisible);
   if (!bVisible)
   {
      m_ppreview->cleanup();
   }
}

void ScrollList::list_item::update_image(zel2d::context * pcontext)
{
   if (m_ppreview)
   {
      m_ppreview->update_image_cache(pcontext);
   }
}

ScrollList::ScrollList(zelui::Widget * pparent, Global * pglobal, bool bLayers) :
   HoverContainer(pparent),
   m_bLayers(bLayers),
   m_pglobal(pglobal),
   m_imagewrapDown(pglobal->getContext(), "matter://res/down.png"),
   m_imagewrapUp(pglobal->getContext(), "matter://res/up.png")
{
   m_rows.reserve(17);
   set_layout(new zelui::BoxLayout(zelui::e_orientation_vertical, zelui::e_alignment_fill, rectangle_type<int>{5, 5, 0, 5}, 0));
}

ScrollList::~ScrollList() = default;

pointer_array<app_layer> * ScrollList::source_array() const
{
   if (!m_bLayers)
   {
      return &m_pglobal->get_presets();
   }
   project * pproject = m_pglobal->current_project();
   return pproject ? &pproject->get_layers() : nullptr;
}

pointer<ScrollList::list_item> ScrollList::get_contained_item(long long index)
{
   pointer_array<app_layer> * players = source_array();
   if (index < 0 || !players || !players->has_index(index))
   {
      return nullptr;
   }
   pointer<app_layer> player = (*players)[index];
   if (!player)
   {
      return nullptr;
   }
   pointer<list_item> & pentry = m_rows[player.get()];
   if (pentry)
   {
      update(pentry.get(), index);
      return pentry;
   }
   pentry = make_row(index, player.get());
   return pentry;
}

pointer<ScrollList::list_item> ScrollList::make_row(long long index, app_layer *)
{
   auto prow = new WidgetWithBackground(this, panel_colors::side_panel, panel_colors::row_hover, panel_colors::row_selected,
                                        m_pglobal, nullptr);
   prow->set_layout(new zelui::BoxLayout(zelui::e_orientation_horizontal, zelui::e_alignment_fill, 0, 0));
   pointer<list_item> pitem = make_pointer<list_item>();
   pitem->m_prow = prow;
   pitem->m_pinner = new ClickableWidget(prow, m_pglobal);
   pitem->m_pinner->set_layout(new zelui::GridLayout(zelui::e_orientation_horizontal, 2, zelui::e_alignment_middle, 0, 0));
   auto value_pair = [&](const char * pszName)
   {
      new zelui::Label(pitem->m_pinner, pszName, "sans");
      return new zelui::Label(pitem->m_pinner, "", "sans");
   };
   pitem->m_plabelWidth = value_pair("Width");
   pitem->m_plabelHeight = value_pair("Height");
   pitem->m_plabelColumns = value_pair("Columns");
   pitem->m_plabelRows = value_pair("Rows");
   pitem->m_plabelRows->set_fixed_size({50, 16});
   finish_new(pitem.get(), index);
   pitem->m_ppreview = new LayerPreviewImage(prow, m_pglobal);
   on_init_contained_item(pitem.get(), index);
   update(pitem.get(), index);
   return pitem;
}

void ScrollList::on_init_contained_item(list_item *, long long)
{
}

long long ScrollList::get_layer_index(app_layer * player)
{
   pointer_array<app_layer> * players = source_array();
   return player && players ? players->find_first(player) : -1;
}

long long ScrollList::child_layer_index(zelui::Widget * pwidget)
{
   if (!pwidget)
   {
      return -1;
   }
   for (auto & [player, pitem] : m_rows)
   {
      if (pwidget == pitem->m_prow.get() || pwidget == pitem->m_pinner || pwidget == pitem->m_ppreview)
      {
         return get_layer_index(player);
      }
   }
   return -1;
}

void ScrollList::update_children()
{
   pointer_array<app_layer> * players = source_array();
   long long iCount = players ? players->count() : 0;
   // The rows in display order: the layer list shows the last layer at the top.
   std::vector<pointer<zelui::Widget>> rows(static_cast<std::size_t>(iCount));
   for (long long i = 0; i < iCount; ++i)
   {
      if (!(*players)[i])
      {
         continue;
      }
      pointer<list_item> pitem = get_contained_item(i);
      if (!pitem || !pitem->m_prow)
      {
         throw exception(error_failed, "");
      }
      long long iChild = m_bLayers ? iCount - 1 - i : i;
      rows[static_cast<std::size_t>(iChild)] = pitem->m_prow;
   }
   std::erase(rows, nullptr);
   // Rows of entries that left the array stop being children (their records keep them).
   for (long long i = child_count() - 1; i >= 0; --i)
   {
      if (std::find(rows.begin(), rows.end(), children()[i]) == rows.end())
      {
         remove_child_at(i);
      }
   }
   forget_rows_of_entries_gone(players);
   for (auto & prow : rows)
   {
      if (prow->parent() != this)
      {
         add_child(prow.get());
      }
   }
   // Reordered in place, so that a row being dragged stays the screen's drag widget.
   zelui::Screen * pscreen = screen();
   std::unique_lock<std::recursive_mutex> lock;
   if (pscreen)
   {
      lock = std::unique_lock(pscreen->children_mutex());
   }
   children().clear();
   for (auto & prow : rows)
   {
      children().add(prow);
   }
}

void ScrollList::forget_rows_of_entries_gone(const pointer_array<app_layer> * players)
{
   std::unordered_set<const app_layer *> entries;
   for (long long i = 0; players && i < players->count(); ++i)
   {
      entries.insert((*players)[i].get());
   }
   std::erase_if(m_rows, [&entries](const auto & entry) {
      const auto & [player, pitem] = entry;
      if (entries.contains(player) || !pitem->m_ppreview)
      {
         return false;
      }
      const bool bLastReference = pitem->m_ppreview->layer() && pitem->m_ppreview->layer()->reference_count() == 1;
      pitem->m_ppreview->cleanup();
      return bLastReference;
   });
}

void ScrollList::syncFromGlobal(zel2d::context * pcontext)
{
   if (m_imagewrapDown.handle() < 1)
   {
      m_imagewrapDown.defer_load_image(pcontext);
   }
   if (m_imagewrapUp.handle() < 1)
   {
      m_imagewrapUp.defer_load_image(pcontext);
   }
   project * pproject = m_pglobal->current_project();
   if (m_bLayers && !pproject)
   {
      return;
   }
   update_children();
   pointer_array<app_layer> * players = source_array();
   pointer<app_layer> pcurrent = pproject ? pproject->current_layer() : nullptr;
   for (long long i = 0; i < players->count(); ++i)
   {
      pointer<app_layer> player = (*players)[i];
      if (!player)
      {
         continue;
      }
      pointer<list_item> pitem = get_contained_item(i);
      pitem->m_prow->set_visible(true);
      pitem->m_ppreview->set_visible(true);
      pitem->m_ppreview->setLayer(pcontext, player.get());
      pitem->updateFromLayer(player);
      if (m_bLayers)
      {
         pitem->m_prow->focus_event(player == pcurrent);
      }
   }
   set_need_layout();
   for (auto & [player, pitem] : m_rows)
   {
      pitem->m_ppreview->refresh(pcontext);
   }
   set_need_layout();
   set_need_redraw();
   post_redraw();
}

void ScrollList::removeAll()
{
   for (auto & [player, pitem] : m_rows)
   {
      pitem->set_visible(false);
   }
}

} // namespace Tarvossa_BrisvanePro
