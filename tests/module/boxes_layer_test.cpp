#include <gtest/gtest.h>

#include "core/Global.h"
#include "document/boxes_layer.h"
#include "orvo/trace.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

pointer<boxes_layer> new_screen_layer()
{
   auto player = make_pointer<boxes_layer>();
   player->initialize(nullptr);
   player->default_colors();
   player->apply_defaults();
   return player;
}

} // namespace

TEST(boxes_layer, NewLayerHasTheDefaultsOfANewScreen)
{
   auto player = new_screen_layer();
   EXPECT_EQ(player->get_full_width(), 1024);
   EXPECT_EQ(player->get_full_height(), 640);
   EXPECT_EQ(player->get_layer_type(), e_layer_boxes);
   EXPECT_EQ(player->BoxColors, (std::vector<color::color>{{63, 127, 127, 255}}));
   EXPECT_EQ(player->BoxTintColors, (std::vector<color::color>{{149, 184, 184, 255}}));
   EXPECT_TRUE(player->DrawGrid && player->DrawCircle);
   EXPECT_FALSE(player->DrawSnake || player->DrawPowerSnake);
   EXPECT_TRUE(player->is_corner_label_on(e_corner_top_left));
   EXPECT_FALSE(player->is_corner_label_on(e_corner_top_right));
   EXPECT_EQ(player->WeightPerPanel, 20.f);
   EXPECT_EQ(player->WeightPerPanelUnit, "lb");
}

TEST(boxes_layer, ConstructorAloneShowsThePathsAndHasAWeight)
{
   boxes_layer layer;
   EXPECT_TRUE(layer.DrawSnake && layer.DrawPowerSnake);
   EXPECT_FALSE(layer.DrawGrid);
   EXPECT_EQ(layer.WeightPerPanel, 20.f);
   EXPECT_TRUE(layer.BoxColors.empty());
   EXPECT_EQ(layer.m_descriptionPower.m_color, color::color(255, 0, 0, 255));
}

TEST(boxes_layer, HalfColumnsAndRowsCountOnceForTheFullSize)
{
   boxes_layer layer;
   layer.HalfColumns.set(e_half_first_column);
   EXPECT_EQ(layer.get_full_width(), 960);
   layer.HalfColumns.set(e_half_last_column);
   EXPECT_EQ(layer.get_full_width(), 960);
   layer.HalfColumns.set(e_half_last_row);
   EXPECT_EQ(layer.get_full_height(), 576);
   // An odd box size rounds the half box up once for the whole grid.
   layer.Width = 5;
   layer.Columns = 3;
   EXPECT_EQ(layer.get_full_width(), 13);
   layer.Columns = 0;
   EXPECT_EQ(layer.get_full_width(), 0);
}

TEST(boxes_layer, HalfPairClearsThePartnerAndRejectsBitsBeyondThree)
{
   boxes_layer layer;
   layer.HalfColumns = 0b0011;
   layer.set_half_pair(1, 0, false);
   EXPECT_EQ(layer.HalfColumns.to_ulong(), 0u);
   layer.set_half_pair(2, 3, true);
   EXPECT_EQ(layer.HalfColumns.to_ulong(), 0b0100u);
   EXPECT_THROW(layer.set_half_pair(0, 4, true), std::out_of_range);
   EXPECT_THROW(layer.set_half_pair(4, 0, true), std::out_of_range);
   EXPECT_EQ(layer.HalfColumns.to_ulong(), 0b0100u);
}

TEST(boxes_layer, HalfPairsAndCornerLabelsMarkTheLayerChanged)
{
   auto pglobal = make_pointer<Global>();
   boxes_layer layer;
   layer.set_controller(pglobal.get());
   const std::function<void()> edits[] = {
      [&] { layer.set_half_pair(0, 1, true); },
      // Clearing a bit that is already clear marks the layer all the same.
      [&] { layer.set_half_pair(3, 2, false); },
      [&] { layer.switch_corner_label(e_corner_top_right, true); },
      [&] { layer.switch_corner_label(e_corner_bottom_left, false); },
      [&] { layer.toggle_corner_label(e_corner_top_left); },
   };
   for (std::size_t i = 0; i < std::size(edits); ++i)
   {
      layer.clear_changed();
      pglobal->take_changed();
      edits[i]();
      EXPECT_TRUE(layer.has_changed()) << i;
      EXPECT_TRUE(pglobal->take_changed()) << i;
   }
}

TEST(boxes_layer, FontSizesReadThroughTheirFiltersAndKeepThemOnAssignment)
{
   boxes_layer layer;
   layer.LabelFontSize = 2;
   EXPECT_EQ(static_cast<int>(layer.LabelFontSize), 5);
   layer.BoxesNamesFontSize = 0;
   EXPECT_EQ(static_cast<int>(layer.BoxesNamesFontSize), 0);
   layer.BoxesNamesFontSize = -3;
   EXPECT_EQ(static_cast<int>(layer.BoxesNamesFontSize), 5);
   layer.LabelFontSize = 6;
   EXPECT_EQ(static_cast<int>(layer.LabelFontSize), 6);

   // A plain size assigned to a filtered field is filtered there.
   layer.LabelFontSize = FontSize(3);
   EXPECT_EQ(static_cast<int>(layer.LabelFontSize), 5);
   EXPECT_EQ(layer.LabelFontSize.size(), 3);
}

TEST(boxes_layer, BoxColorByIdGrowsTheListsWithWhiteAndTintsTheColour)
{
   auto player = new_screen_layer();
   player->set_box_color_with_id(3, "FF0000");
   const color::color white(255, 255, 255, 255);
   EXPECT_EQ(player->BoxColors, (std::vector<color::color>{{63, 127, 127, 255}, white, white, {255, 0, 0, 255}}));
   EXPECT_EQ(player->BoxTintColors, (std::vector<color::color>{{149, 184, 184, 255}, white, white, {255, 114, 114, 255}}));

   player->set_box_color_with_id(0, "E74C3C");
   EXPECT_EQ(player->BoxColors[0], color::color(231, 76, 60, 255));
   for (const char * pszBad : {"FF000", "FF00000", "GG0000", "#FF000"})
   {
      player->set_box_color_with_id(1, pszBad);
      EXPECT_EQ(player->BoxColors[1], white) << pszBad;
   }
   player->set_box_color_with_id(-1, "00FF00");
   EXPECT_EQ(player->BoxColors.size(), 4u);
}

TEST(boxes_layer, CornerLabelsSwitchAndToggle)
{
   boxes_layer layer;
   layer.switch_corner_label(e_corner_bottom_right, true);
   layer.toggle_corner_label(e_corner_top_left);
   EXPECT_EQ(layer.CornersMode, 0b1000);
   layer.switch_corner_label(e_corner_bottom_right, false);
   EXPECT_EQ(layer.CornersMode, 0);
}

// The count comes from the paths as they are now, never from the boxes an earlier drawing kept.
TEST(boxes_layer, PathCountIsTheCustomPathsWhenTheyAreOnElseTheComputedRuns)
{
   boxes_layer layer;
   layer.m_descriptionData.custom_paths = {{1}, {2}, {3}};
   layer.m_snakeData.m_boxes.resize(5);
   layer.m_snakeData.m_boxes[0].m_obStart = true;
   layer.m_snakeData.m_boxes[3].m_obStart = true;
   // 8 x 5 boxes of 128 x 128 in ports of 655360 pixels: one port.
   EXPECT_EQ(layer.calculate_path_count(true), 1);
   layer.m_descriptionData.m_iCustomPath = 1;
   EXPECT_EQ(layer.calculate_path_count(true), 3);
   // 40 boxes of 200 W on circuits of 1650 W.
   EXPECT_EQ(layer.calculate_path_count(false), 5);
}

TEST(boxes_layer, CloneCopiesSettingsAndPlacementButNotFlagsOrPaths)
{
   set_logs_silent(true);
   auto pglobal = make_pointer<Global>();
   auto player = new_screen_layer();
   player->set_controller(pglobal.get());
   player->apply_layer_info("Name:Wall\nOffsetX:30\nOffsetY:40\nRotation:0.5\nColumns:3\nExcludeBoxes:1|2\nRConnectorNames:\"R1\"");
   player->LabelFontSize = 7;
   player->set_hidden(true);
   player->set_logo(true);
   player->custom_path_target = 0;
   player->m_snakeData.m_boxes.resize(3);
   player->m_iLastPixelArea = 77;

   auto pcopy = player->clone().cast<boxes_layer>();
   ASSERT_TRUE(pcopy);
   EXPECT_EQ(pcopy->get_name(), "Wall");
   EXPECT_EQ(pcopy->get_offset_x(), 30);
   EXPECT_EQ(pcopy->get_offset_y(), 40);
   EXPECT_EQ(pcopy->get_rotation(), 0.5f);
   EXPECT_EQ(pcopy->Columns, 3);
   EXPECT_EQ(pcopy->ExcludeBoxes, player->ExcludeBoxes);
   EXPECT_EQ(pcopy->RConnectorNames, player->RConnectorNames);
   EXPECT_EQ(pcopy->m_iLastPixelArea, 77);
   EXPECT_EQ(pcopy->get_controller(), pglobal.get());
   EXPECT_FALSE(pcopy->is_hidden());
   EXPECT_FALSE(pcopy->is_logo());
   EXPECT_EQ(pcopy->custom_path_target, 1);
   EXPECT_TRUE(pcopy->m_snakeData.m_boxes.empty());
   EXPECT_TRUE(pcopy->is_initialized());
   EXPECT_EQ(pcopy->get_layer_info(), [&] {
      player->set_logo(false);
      player->set_hidden(false);
      return player->get_layer_info();
   }());
   // The copy's font sizes keep their own filters, and its paths run over its own grid.
   pcopy->LabelFontSize = 1;
   EXPECT_EQ(static_cast<int>(pcopy->LabelFontSize), 5);
   EXPECT_EQ(pcopy->m_snakeData.m_pdisplaybox, static_cast<display_box *>(pcopy.get()));
}
