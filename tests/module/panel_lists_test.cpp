// The side panel: its two lists, their rows, buttons and drag reordering, and the thumbnails,
// on a root screen without a window.

#include "panel_test_screen.h"

#include "document/image_layer.h"
#include "draw_current_only_box.h"
#include "zel2d/context.h"
#include "panels/CheckboxWithFocus.h"
#include "panels/LayerList.h"
#include "panels/LayerPreviewImage.h"
#include "panels/PresetList.h"
#include "panels/RightPanel.h"
#include "panels/W_LayerScrollList.h"
#include "panels/W_PresetScrollList.h"
#include "panels/WidgetWithBackground.h"
#include "panels/panel_colors.h"
#include "toolwindows/SettingsBaseWindow.h"
#include "zelui/Button.h"
#include "zelui/CheckBox.h"
#include "zelui/Label.h"
#include "zelui/VScrollPanel.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

class side_panel : public panel_test
{
protected:
   void SetUp() override
   {
      panel_test::SetUp();
      // The root screen with every child, as the program builds it; the tool windows stay hidden
      // so that they cover no row.
      m_pscreen->create_main_screen();
      for (SettingsBaseWindow * pwindow : m_pscreen->tool_windows())
      {
         pwindow->set_visible(false);
      }
      m_pscreen->resize_event({1280, 800});
      m_ppanel = m_pscreen->right_panel();
      frame();
   }

   // The layer list's rows after a sync, in display order, and their layers' names.
   void sync()
   {
      m_ppanel->syncFromGlobalLayers(nullptr);
      m_ppanel->syncFromGlobalPresets(nullptr);
      frame();
   }
   ScrollList * layer_rows() const { return m_ppanel->layer_list()->scroll_list(); }
   ScrollList * preset_rows() const { return m_ppanel->preset_list()->scroll_list(); }
   pointer<ScrollList::list_item> layer_row(long long iLayer) const { return layer_rows()->get_contained_item(iLayer); }
   std::vector<string_base> shown_names(ScrollList * plist) const
   {
      std::vector<string_base> names;
      for (const pointer<zelui::Widget> & prow : plist->children())
      {
         auto ppreview = dynamic_cast<LayerPreviewImage *>(prow->children().last().get());
         names.push_back(ppreview && ppreview->layer() ? ppreview->layer()->get_name() : "?");
      }
      return names;
   }
   std::vector<string_base> document_names() const
   {
      std::vector<string_base> names;
      for (const pointer<app_layer> & player : document().get_layers())
      {
         names.push_back(player->get_name());
      }
      return names;
   }

   RightPanel * m_ppanel = nullptr;
};

} // namespace

TEST_F(side_panel, lists_split_the_panel_height_rounding_toward_zero)
{
   EXPECT_EQ(m_ppanel->layer_list()->fixed_size(), (size_type<int>{280, 365}));
   m_ppanel->set_fixed_size({280, 601});
   EXPECT_EQ(m_ppanel->layer_list()->fixed_size().height, 295);
   EXPECT_EQ(m_ppanel->preset_list()->fixed_size().height, 295);
   EXPECT_EQ(m_ppanel->child_at(0), m_ppanel->preset_list());
   EXPECT_EQ(m_ppanel->child_at(1), m_ppanel->layer_list());
}

TEST_F(side_panel, the_scroll_panel_takes_the_height_the_buttons_leave)
{
   LayerList * plist = m_ppanel->layer_list();
   plist->set_fixed_size({200, 100});
   plist->set_fixed_size({280, 295});
   frame();
   int iButtons = plist->button_row()->preferred_size(nullptr).height;
   EXPECT_GT(iButtons, 0);
   EXPECT_EQ(plist->scroll_panel()->fixed_size(), (size_type<int>{280, 295 - iButtons - 10}));
   EXPECT_EQ(plist->scroll_list()->fixed_size(), (size_type<int>{268, 295 - iButtons - 10}));
}

TEST_F(side_panel, the_last_layer_is_the_top_row_and_presets_keep_their_order)
{
   make_layers(3);
   m_pglobal->load_default_presets();
   sync();
   EXPECT_EQ(shown_names(layer_rows()), (std::vector<string_base>{"L2", "L1", "L0"}));
   std::vector<string_base> presets;
   for (const pointer<app_layer> & ppreset : m_pglobal->get_presets())
   {
      presets.push_back(ppreset->get_name());
   }
   ASSERT_GE(presets.size(), 2u);
   EXPECT_EQ(shown_names(preset_rows()), presets);
}

TEST_F(side_panel, rows_show_sizes_with_half_columns_and_not_applicable_for_pictures)
{
   make_layers(1);
   boxes_layer & layer = *document().get_layer(0).cast<boxes_layer>();
   layer.Columns = 10;
   layer.Rows = 6;
   layer.HalfColumns = 0b0110;
   pointer<image_layer> pimage = document().new_image_layer();
   pimage->setMaintainAspectRatio(false);
   pimage->set_width(64);
   pimage->set_height(48);
   sync();

   pointer<ScrollList::list_item> pscreen = layer_row(1);
   EXPECT_EQ(pscreen->m_plabelColumns->caption(), "9.50");
   EXPECT_EQ(pscreen->m_plabelRows->caption(), "5.50");
   EXPECT_EQ(pscreen->m_plabelWidth->caption(), format("%d", layer.get_full_width()));
   layer.HalfColumns = 0b0011;
   sync();
   EXPECT_EQ(pscreen->m_plabelColumns->caption(), "9.50");
   EXPECT_EQ(pscreen->m_plabelRows->caption(), "6.00");

   pointer<ScrollList::list_item> ppicture = layer_row(0);
   EXPECT_EQ(ppicture->m_plabelColumns->caption(), "N/A");
   EXPECT_EQ(ppicture->m_plabelRows->caption(), "N/A");
   EXPECT_EQ(ppicture->m_plabelWidth->caption(), format("%d", pimage->get_full_width()));
}

TEST_F(side_panel, visible_check_box_hides_its_layer_without_changing_the_current_one)
{
   make_layers(3);
   m_pscreen->setCurrentLayerTo(0, true);
   sync();
   pointer<ScrollList::list_item> ptop = layer_row(2);
   ASSERT_EQ(layer_rows()->children()[0], ptop->m_prow);
   EXPECT_TRUE(ptop->m_pcheckboxVisible->checked());

   click(ptop->m_pcheckboxVisible);
   EXPECT_TRUE(document().get_layer(2)->is_hidden());
   EXPECT_EQ(document().get_current_layer_id(), 0);
   click(ptop->m_pcheckboxVisible);
   EXPECT_FALSE(document().get_layer(2)->is_hidden());
}

TEST_F(side_panel, clicking_a_rows_figures_or_thumbnail_makes_its_layer_current)
{
   make_layers(3);
   m_pscreen->setCurrentLayerTo(0, true);
   sync();
   click(layer_row(1)->m_plabelWidth);
   EXPECT_EQ(document().get_current_layer_id(), 1);
   EXPECT_EQ(layer_row(1)->m_prow->current_color(), panel_colors::row_selected);
   EXPECT_NE(layer_row(0)->m_prow->current_color(), panel_colors::row_selected);
   click(layer_row(2)->m_ppreview);
   EXPECT_EQ(document().get_current_layer_id(), 2);
}

TEST_F(side_panel, arrow_buttons_swap_neighbours_and_stop_at_the_ends)
{
   make_layers(3);
   sync();
   layer_row(2)->m_pbutton1->callback()();
   layer_row(0)->m_pbutton2->callback()();
   EXPECT_EQ(document_names(), (std::vector<string_base>{"L0", "L1", "L2"}));
   layer_row(0)->m_pbutton1->callback()();
   EXPECT_EQ(document_names(), (std::vector<string_base>{"L1", "L0", "L2"}));
   EXPECT_EQ(document().get_current_layer_id(), 1);
   sync();
   layer_row(2)->m_pbutton2->callback()();
   EXPECT_EQ(document_names(), (std::vector<string_base>{"L1", "L2", "L0"}));
}

TEST_F(side_panel, dragging_the_bottom_row_over_the_top_row_moves_its_layer_to_the_end)
{
   make_layers(3);
   sync();
   zelui::Widget * pbottom = layer_row(0)->m_pinner;
   zelui::Widget * ptop = layer_row(2)->m_pinner;
   move_to(centre_of(pbottom));
   press(centre_of(pbottom));
   move_to(centre_of(ptop), true);
   EXPECT_EQ(document_names(), (std::vector<string_base>{"L1", "L2", "L0"}));
   EXPECT_EQ(document().get_current_layer_id(), 2);
   sync();
   EXPECT_EQ(shown_names(layer_rows()), (std::vector<string_base>{"L0", "L2", "L1"}));
   // The row moved in place, so the drag goes on.
   EXPECT_EQ(m_pscreen->drag_widget(), pbottom);
   release(centre_of(ptop));
}

TEST_F(side_panel, moving_to_a_place_refuses_same_negative_and_missing_indices)
{
   make_layers(3);
   EXPECT_FALSE(m_pglobal->move_layer_to_visual(1, 1));
   EXPECT_FALSE(m_pglobal->move_layer_to_visual(-1, 1));
   EXPECT_FALSE(m_pglobal->move_layer_to_visual(0, 3));
   EXPECT_TRUE(m_pglobal->move_layer_to_visual(0, 2));
   EXPECT_EQ(document_names(), (std::vector<string_base>{"L2", "L0", "L1"}));
   EXPECT_EQ(document().get_current_layer_id(), 0);
}

TEST_F(side_panel, a_row_dragged_over_itself_moves_nothing)
{
   make_layers(2);
   sync();
   EXPECT_FALSE(dynamic_cast<W_LayerScrollList *>(layer_rows())->drag_reorder(layer_row(1)->m_pinner, layer_row(1)->m_ppreview));
   EXPECT_EQ(document_names(), (std::vector<string_base>{"L0", "L1"}));
}

TEST_F(side_panel, rows_of_removed_layers_leave_and_come_back_with_their_layer)
{
   make_layers(3);
   sync();
   pointer<app_layer> player = document().get_layer(1);
   zelui::Widget * prow = layer_row(1)->m_prow.get();
   document().get_layers().erase_at(1);
   sync();
   EXPECT_EQ(layer_rows()->child_count(), 2);
   EXPECT_EQ(layer_rows()->child_layer_index(prow), -1);
   EXPECT_EQ(layer_rows()->get_layer_index(player.get()), -1);
   EXPECT_EQ(layer_rows()->get_layer_index(nullptr), -1);
   document().insert_layer_at(player, 0);
   sync();
   EXPECT_EQ(layer_rows()->child_count(), 3);
   EXPECT_EQ(layer_rows()->children()[2].get(), prow);
   EXPECT_EQ(layer_rows()->row_count(), 3);
}

// A deleted layer's memory comes back: its row's thumbnail lets it go, and the row goes with it.
TEST_F(side_panel, rows_of_deleted_layers_let_their_layers_go)
{
   make_layers(3);
   sync();
   pointer<app_layer> pkept = document().get_layer(1);
   EXPECT_EQ(pkept->reference_count(), 3); // the document, the thumbnail and this test
   document().get_layers().erase_at(1);
   sync();
   EXPECT_EQ(pkept->reference_count(), 1);
   EXPECT_EQ(layer_rows()->row_count(), 3);

   document().get_layers().erase_at(0);
   sync();
   EXPECT_EQ(layer_rows()->row_count(), 2);
}

TEST_F(side_panel, preset_buttons_delete_and_clone_by_their_rows_index)
{
   m_pglobal->load_default_presets();
   sync();
   long long iPresets = m_pglobal->get_presets_count();
   ASSERT_GE(iPresets, 2);
   pointer<ScrollList::list_item> plast = preset_rows()->get_contained_item(iPresets - 1);
   EXPECT_EQ(plast->m_pbutton1->tooltip(), "Delete this preset.");
   plast->m_pbutton1->callback()();
   EXPECT_EQ(m_pglobal->get_presets_count(), iPresets - 1);
   sync();
   EXPECT_EQ(preset_rows()->child_count(), iPresets - 1);

   long long iLayers = document().get_layers_count();
   pointer<ScrollList::list_item> pfirst = preset_rows()->get_contained_item(0);
   pfirst->m_pbutton3->callback()();
   pfirst->m_pbutton3->callback()();
   ASSERT_EQ(document().get_layers_count(), iLayers + 2);
   std::vector<string_base> names = document_names();
   std::sort(names.begin(), names.end());
   EXPECT_EQ(std::unique(names.begin(), names.end()), names.end());
}

TEST_F(side_panel, an_empty_preset_slot_has_no_row_and_the_other_rows_keep_their_index)
{
   m_pglobal->load_default_presets();
   sync();
   const long long iPresets = m_pglobal->get_presets_count();
   ASSERT_GE(iPresets, 3);
   const std::vector<string_base> names = shown_names(preset_rows());
   m_pglobal->get_presets().insert_at(1, pointer<app_layer>());
   m_pglobal->get_presets().add(pointer<app_layer>());
   sync();
   EXPECT_EQ(shown_names(preset_rows()), names);
   EXPECT_EQ(preset_rows()->get_contained_item(1), nullptr);
   EXPECT_EQ(preset_rows()->child_count(), iPresets);
   // The row of the preset behind the empty slot adds that preset to the document.
   const std::vector<string_base> before = document_names();
   preset_rows()->get_contained_item(2)->m_pbutton3->callback()();
   std::vector<string_base> added = document_names();
   std::erase_if(added, [&](const string_base & strName) { return std::ranges::count(before, strName) > 0; });
   ASSERT_EQ(added.size(), 1u);
   EXPECT_TRUE(added[0].starts_with(m_pglobal->get_presets()[2]->get_name())) << added[0];
}

TEST_F(side_panel, preset_rows_are_never_selected_and_do_not_drag)
{
   m_pglobal->load_default_presets();
   make_layers(1);
   sync();
   pointer<ScrollList::list_item> pfirst = preset_rows()->get_contained_item(0);
   pointer<ScrollList::list_item> psecond = preset_rows()->get_contained_item(1);
   click(pfirst->m_plabelWidth);
   EXPECT_EQ(pfirst->m_prow->current_color(), panel_colors::row_hover);
   move_to(centre_of(psecond->m_pinner));
   press(centre_of(psecond->m_pinner));
   EXPECT_EQ(m_pscreen->drag_widget(), nullptr);
   release(centre_of(psecond->m_pinner));
}

TEST_F(side_panel, leaving_the_list_clears_the_hover_colour)
{
   make_layers(2);
   sync();
   move_to(centre_of(layer_row(1)->m_plabelHeight));
   EXPECT_EQ(layer_rows()->hover_item(), layer_row(1)->m_prow.get());
   move_to({10, 400});
   EXPECT_EQ(layer_rows()->hover_item(), nullptr);
}

TEST_F(side_panel, draw_current_only_starts_off_and_follows_its_box)
{
   EXPECT_FALSE(m_ppanel->isOnlyCurrentChecked());
   zelui::CheckBox * pbox = draw_current_only_box(*m_ppanel->layer_list());
   ASSERT_NE(pbox, nullptr);
   pbox->set_checked(true, e_source_user);
   EXPECT_TRUE(m_ppanel->isOnlyCurrentChecked());
   pbox->set_checked(false, e_source_user);
   EXPECT_FALSE(m_ppanel->isOnlyCurrentChecked());
}

namespace
{

class thumbnail : public panel_test
{
protected:
   void SetUp() override
   {
      panel_test::SetUp();
      m_player = document().current_boxes_layer();
      m_player->Columns = 3;
      m_player->Rows = 2;
      m_player->DrawGrid = 0;
      m_ppreview = new LayerPreviewImage(m_pscreen.get(), m_pglobal);
   }
   color::color at(int x, int y) const { return color::color::from_argb(m_ppreview->cached_image()->pixel(x, y)); }

   pointer<boxes_layer> m_player;
   LayerPreviewImage * m_ppreview = nullptr;
};

} // namespace

TEST_F(thumbnail, boxes_cover_the_picture_in_colour_and_tint_diagonally)
{
   m_ppreview->setLayer(nullptr, m_player.get());
   ASSERT_TRUE(m_ppreview->cached_image());
   EXPECT_EQ(m_ppreview->cached_image()->width(), 140);
   EXPECT_EQ(m_ppreview->cached_image()->height(), 85);
   color::color colour = m_player->BoxColors[0];
   color::color tint = m_player->box_tint_color(0);
   // Boxes of 47 x 43: columns start at 0, 47 and 94, rows at 0 and 43.
   EXPECT_EQ(at(46, 30), colour);
   EXPECT_EQ(at(47, 30), tint);
   EXPECT_EQ(at(100, 30), colour);
   EXPECT_EQ(at(10, 42), colour);
   EXPECT_EQ(at(10, 43), tint);
   EXPECT_EQ(at(60, 60), colour);
   EXPECT_EQ(at(139, 84), tint);
}

TEST_F(thumbnail, the_grid_outlines_every_box_only_when_on)
{
   m_ppreview->setLayer(nullptr, m_player.get());
   color::color tint = m_player->box_tint_color(0);
   EXPECT_EQ(at(47, 30), tint);
   m_player->DrawGrid = 1;
   m_ppreview->update_image_cache(nullptr);
   EXPECT_NE(at(47, 30), tint);
   EXPECT_EQ(at(60, 30), tint);
}

TEST_F(thumbnail, the_name_strip_darkens_the_top_once_laid_out)
{
   m_player->set_name("");
   m_ppreview->set_size({140, 85});
   m_ppreview->setLayer(nullptr, m_player.get());
   color::color strip = at(5, 5);
   color::color colour = m_player->BoxColors[0];
   EXPECT_LT(strip.m_uchG, colour.m_uchG);
   EXPECT_EQ(at(5, 25), colour);
}

TEST_F(thumbnail, a_draw_draws_the_layer_again_once_after_a_change_of_its_look_and_not_after_a_move)
{
   m_ppreview->setLayer(nullptr, m_player.get());
   image::image target(200, 100);
   zel2d::context context(&target);
   m_ppreview->draw(&context);
   EXPECT_FALSE(m_ppreview->is_stale());

   const color::color before = at(60, 30);
   m_player->BoxColors = {color::color(200, 0, 0, 255)};
   m_player->BoxTintColors = {color::color(0, 0, 200, 255)};
   m_player->set_offset_x(m_player->get_offset_x() + 10);
   EXPECT_FALSE(m_ppreview->is_stale());
   m_ppreview->draw(&context);
   EXPECT_EQ(at(60, 30), before);
   m_player->set_changed(layer_change::colours);
   EXPECT_TRUE(m_ppreview->is_stale());
   m_ppreview->draw(&context);
   EXPECT_FALSE(m_ppreview->is_stale());
   EXPECT_EQ(at(60, 30), color::color(0, 0, 200, 255));
}

TEST_F(thumbnail, cleanup_lets_the_pictures_and_the_layer_go)
{
   m_ppreview->setLayer(nullptr, m_player.get());
   const long long iReferences = m_player->reference_count();
   m_ppreview->cleanup();
   EXPECT_FALSE(m_ppreview->layer());
   EXPECT_FALSE(m_ppreview->cached_image());
   EXPECT_EQ(m_player->reference_count(), iReferences - 1);
   EXPECT_FALSE(m_ppreview->is_stale());
}

TEST_F(thumbnail, an_image_layer_shows_its_picture_once_laid_out)
{
   pointer<image::image> ppicture = make_pointer<image::image>(4, 4);
   std::fill(ppicture->data(), ppicture->data() + 16, 0xFF00C000u);
   pointer<image_layer> pimage = document().new_image_layer();
   pimage->set_image(ppicture);
   m_ppreview->setLayer(nullptr, pimage.get());
   EXPECT_EQ(at(70, 60).m_uchA, 0);
   m_ppreview->set_size({140, 85});
   m_ppreview->update_image_cache(nullptr);
   EXPECT_EQ(at(70, 60), color::color(0, 0xC0, 0, 255));
}
