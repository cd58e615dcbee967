// The tool-window base and the "Screen Info" window with its columns, rows and rotation edits.

#include <gmock/gmock.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "orvo/image.h"
#include "orvo/payload.h"
#include "zel2d/context.h"
#include "panels/CheckboxWithFocus.h"
#include "toolwindows/SettingsBoxes.h"
#include "toolwindows/SettingsPower.h"
#include "tool_windows_test.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

class screen_info : public tool_windows_test
{
protected:
   SettingsBoxes & boxes() const { return *window<SettingsBoxes>(); }

   // One custom data path through the boxes of the keys.
   void set_custom_data_path(std::vector<int> keys) { m_player->m_descriptionData.custom_paths = {std::move(keys)}; }

   static int key(int iColumn, int iRow) { return (iColumn << 16) | iRow; }
};

TEST_F(screen_info, a_new_window_shows_its_captions_and_initial_values)
{
   expect_new_window_face<SettingsBoxes>("Screen Info", {
      "(x)",
      "Offset X", "[Untitled]",
      "Offset Y", "[Untitled]",
      "Cabinet Width", "[Untitled]",
      "Cabinet Height", "[Untitled]",
      "Screen Columns", "[Untitled]",
      "Screen Rows", "[Untitled]",
      "Panel Width  (mm)", "[Untitled]",
      "Panel Height (mm)", "[Untitled]",
      "Weight per Panel", "[20 lb]", "(kg)", "(lb) pushed",
      "Screen Weight", "[ ]",
      "Screen Diagonal", "[ ]", "{inch|feet|meter} inch",
      "[ ] Half First Column", "[ ] Half Last Column",
      "[ ] Half First Row", "[ ] Half Last Row",
      "Rotation (degrees)", "[0 °]",
      "Border", "[0]", "[ ]", "#0000FF",
      "Circle with X", "[0]", "[ ]",
      "Cabinet ID", "[0]", "#0000FF",
      "spacer 5x5", "[ ]", "picture 24x24 matter://res/d.png", "[ ]", "picture 24x24 matter://res/s.png",
   });
}

TEST_F(screen_info, the_one_field_controls_write_their_field_and_mark_the_layer_changed)
{
   {
      SCOPED_TRACE("Screen Weight");
      expect_switch_writes(boxes().m_pcheckboxScreenWeight, m_player->ShowScreenWeight);
   }
   {
      SCOPED_TRACE("Screen Diagonal");
      expect_switch_writes(boxes().m_pcheckboxDiagonal, m_player->ShowScreenDiagonal);
   }
   {
      SCOPED_TRACE("Border");
      // Negative widths are held at 0 (see below).
      clear_marks();
      type(boxes().m_pintboxBorder, "7");
      EXPECT_EQ(m_player->GridWidth, 7);
      expect_marked_changed();
      expect_switch_writes(boxes().m_pcheckboxBorder, m_player->DrawGrid);
      expect_colour_writes(boxes().m_pcolorpickerBorder, m_player->BoxBorderColor);
   }
   {
      SCOPED_TRACE("Circle with X");
      expect_number_writes(boxes().m_pintboxCircle, m_player->CircleWidth);
      expect_switch_writes(boxes().m_pcheckboxCircle, m_player->DrawCircle);
   }
}

TEST_F(screen_info, the_question_before_a_smaller_grid_clears_custom_paths_reads_as_written)
{
   m_player->Columns = 10;
   set_custom_data_path({key(0, 0), key(6, 0)});
   type(boxes().m_ptextboxColumns, "3");
   zelui::MessageDialog * pdialog = dialog_titled("Clear Custom Path");
   ASSERT_TRUE(pdialog);
   EXPECT_EQ(pdialog->type(), zelui::MessageDialog::e_type_warning);
   const char * pszMessage = "There are Custom paths that will totally or partially be outside the layer. Those Custom Paths "
                             "will be deleted if layer is shrinked. Do you want to continue?";
   EXPECT_EQ(pdialog->message(), pszMessage);
   EXPECT_THAT(face_of(*pdialog), testing::UnorderedElementsAre(pszMessage, "(Yes)", "(No)"));
}

TEST_F(screen_info, the_close_button_hides_the_window_saves_the_layout_and_the_menu_brings_it_back_in_place)
{
   SettingsBoxes & window = boxes();
   window.set_position({42, 77});
   ASSERT_TRUE(window.stored_visibility());
   auto * pclose = dynamic_cast<zelui::Button *>(window.button_panel()->child_at(0));
   ASSERT_TRUE(pclose);
   EXPECT_EQ(pclose->caption(), "x");
   press(pclose);
   EXPECT_FALSE(window.visible());
   property_set layout;
   ASSERT_TRUE(layout.parse_ini(file::read_all(m_pscreen->settings_layout_get_default_path()).value_or("")));
   EXPECT_FALSE(layout.get_bool("boxes_visible"));
   EXPECT_EQ(layout.get_int("boxes_x"), 42);
   m_pscreen->showScreenInfo();
   EXPECT_TRUE(window.visible());
   EXPECT_EQ(window.position(), (point_type<int>{42, 77}));
}

TEST_F(screen_info, an_image_layer_hides_every_tool_window_and_a_screen_layer_shows_those_stored_visible)
{
   window<SettingsPower>()->set_stored_visibility(false);
   document().new_image_layer();
   m_pscreen->setCurrentLayerTo(0, true);
   for (SettingsBaseWindow * pwindow : m_pscreen->tool_windows())
   {
      EXPECT_FALSE(pwindow->visible()) << pwindow->title();
   }
   m_pscreen->setCurrentLayerTo(1, true);
   EXPECT_TRUE(boxes().visible());
   EXPECT_FALSE(window<SettingsPower>()->visible());
}

TEST_F(screen_info, text_boxes_inside_row_containers_keep_their_own_size)
{
   EXPECT_EQ(boxes().m_ptextboxOffsetX->fixed_size(), (size_type<int>{40, 22}));
   EXPECT_EQ(boxes().m_ptextboxPhysWidth->fixed_size(), (size_type<int>{50, 22}));
   EXPECT_EQ(boxes().m_pfloatboxWeight->fixed_size(), (size_type<int>{70, 25}));
   EXPECT_EQ(boxes().m_pintboxBorder->fixed_size(), (size_type<int>{0, 0}));
}

TEST_F(screen_info, at_the_first_frame_every_tool_window_takes_the_size_its_controls_need)
{
   pointer<image::image> pimage = make_pointer<image::image>(200, 200);
   zel2d::context context(pimage.get());
   m_pscreen->run_layout_hooks(&context);
   for (SettingsBaseWindow * pwindow : m_pscreen->tool_windows())
   {
      EXPECT_EQ(pwindow->size(), pwindow->preferred_size(&context)) << pwindow->title();
   }
   EXPECT_GT(boxes().width(), boxes().m_pcheckboxHalfFirstColumn->width() + boxes().m_pcheckboxHalfLastColumn->width());
}

TEST_F(screen_info, edits_without_a_current_screen_layer_change_nothing)
{
   remove_layers();
   type(boxes().m_ptextboxWidth, "300");
   EXPECT_EQ(boxes().m_ptextboxWidth->value(), "300");
   click(boxes().m_pcheckboxBorder);
   press(boxes().m_pbuttonKg);
   EXPECT_EQ(boxes().m_pfloatboxWeight->units(), "lb");
   EXPECT_FALSE(changed());
   EXPECT_EQ(m_player->Width, 128);
}

TEST_F(screen_info, refilling_from_the_layer_marks_nothing_changed)
{
   m_player->clear_changed();
   boxes().get_settings_from_layer(m_player);
   EXPECT_FALSE(changed());
   EXPECT_FALSE(m_player->has_changed());
}

TEST_F(screen_info, size_boxes_evaluate_expressions_and_show_the_stored_value)
{
   type(boxes().m_ptextboxWidth, "2*250");
   EXPECT_EQ(m_player->Width, 500);
   EXPECT_EQ(boxes().m_ptextboxWidth->value(), "500");
   EXPECT_TRUE(changed());
   type(boxes().m_ptextboxHeight, "pixels");
   EXPECT_EQ(m_player->Height, 0);
   EXPECT_EQ(boxes().m_ptextboxHeight->value(), "0");
   type(boxes().m_ptextboxOffsetX, "-5");
   EXPECT_EQ(m_player->get_offset_x(), -5);
   type(boxes().m_ptextboxOffsetY, "7.9");
   EXPECT_EQ(m_player->get_offset_y(), 7);
   EXPECT_EQ(SettingsBoxes::calc_dimension("1e30"), 2147483647);
}

TEST_F(screen_info, sizes_grid_counts_and_the_border_width_stay_within_what_the_layer_text_reads_back)
{
   // Beyond these bounds the saved layer would not read back, a grid of 2^31 columns would take
   // every walk over its boxes nearly for ever, and a border of -2^31 pixels would overflow the
   // drawing's arithmetic.
   const struct
   {
      zelui::TextBox * m_ptextbox;
      int BoxesLayerDescription::*m_pfield;
      int m_iMax;
   } fields[] = {
      {boxes().m_ptextboxWidth, &BoxesLayerDescription::Width, boxes_layer::max_box_size},
      {boxes().m_ptextboxHeight, &BoxesLayerDescription::Height, boxes_layer::max_box_size},
      {boxes().m_ptextboxColumns, &BoxesLayerDescription::Columns, boxes_layer::max_grid_count},
      {boxes().m_ptextboxRows, &BoxesLayerDescription::Rows, boxes_layer::max_grid_count},
      {boxes().m_pintboxBorder, &BoxesLayerDescription::GridWidth, boxes_layer::max_grid_width},
   };
   for (const auto & field : fields)
   {
      for (const char * pszLargest : {"2147483647", "1e308"})
      {
         type(field.m_ptextbox, pszLargest);
         EXPECT_EQ((*m_player).*field.m_pfield, field.m_iMax) << pszLargest;
         EXPECT_EQ(field.m_ptextbox->value(), std::to_string(field.m_iMax));
         auto pread = make_pointer<boxes_layer>();
         pread->apply_layer_info(m_player->get_layer_info());
         EXPECT_EQ((*pread).*field.m_pfield, field.m_iMax);
      }
      for (const char * pszNegative : {"-1", "-2147483648", "-1e308"})
      {
         type(field.m_ptextbox, pszNegative);
         EXPECT_EQ((*m_player).*field.m_pfield, 0) << pszNegative;
         EXPECT_EQ(field.m_ptextbox->value(), "0");
      }
   }
}

TEST_F(screen_info, a_size_or_count_that_would_make_the_layer_too_large_to_draw_is_not_taken)
{
   m_player->Columns = 40;
   m_player->Rows = 40;
   m_player->Width = 128;
   m_player->Height = 128;
   type(boxes().m_ptextboxWidth, "16384");
   EXPECT_EQ(m_player->Width, 128);
   EXPECT_EQ(boxes().m_ptextboxWidth->value(), "128");
   zelui::MessageDialog * pdialog = dialog_titled("Error");
   ASSERT_NE(pdialog, nullptr);
   EXPECT_EQ(pdialog->message(), "A screen layer of 40 x 40 boxes of 16384 x 128 pixels would have more than the 268435456 "
                                 "pixels a layer may have, so 16384 was not taken.");
   pdialog->answer(0);

   type(boxes().m_ptextboxRows, "65535");
   EXPECT_EQ(m_player->Rows, 40);
   EXPECT_EQ(boxes().m_ptextboxRows->value(), "40");
   ASSERT_NE(dialog_titled("Error"), nullptr);
   // What is taken reads back from the layer's text.
   type(boxes().m_ptextboxColumns, "100");
   auto pread = make_pointer<boxes_layer>();
   pread->apply_layer_info(m_player->get_layer_info());
   EXPECT_EQ(pread->Columns, 100);
   EXPECT_EQ(pread->Rows, 40);
}

TEST_F(screen_info, panel_sizes_are_never_negative_and_show_one_decimal)
{
   type(boxes().m_ptextboxPhysWidth, "-3");
   EXPECT_EQ(m_player->PhysW, 0.0f);
   EXPECT_EQ(boxes().m_ptextboxPhysWidth->value(), "0.0");
   type(boxes().m_ptextboxPhysHeight, "1000/3");
   EXPECT_FLOAT_EQ(m_player->PhysH, 1000.0f / 3.0f);
   EXPECT_EQ(boxes().m_ptextboxPhysHeight->value(), "333.3");
}

TEST_F(screen_info, half_check_boxes_exclude_their_partner)
{
   click(boxes().m_pcheckboxHalfFirstColumn);
   click(boxes().m_pcheckboxHalfLastColumn);
   EXPECT_EQ(m_player->HalfColumns.to_ulong(), 0b0010u);
   EXPECT_FALSE(boxes().m_pcheckboxHalfFirstColumn->checked());
   EXPECT_TRUE(boxes().m_pcheckboxHalfLastColumn->checked());
   click(boxes().m_pcheckboxHalfFirstRow);
   click(boxes().m_pcheckboxHalfFirstRow);
   EXPECT_EQ(m_player->HalfColumns.to_ulong(), 0b0010u);
}

TEST_F(screen_info, weight_units_convert_once_and_back)
{
   m_player->WeightPerPanelUnit = "lb";
   m_player->WeightPerPanel = 20.0f;
   press(boxes().m_pbuttonKg);
   EXPECT_EQ(m_player->WeightPerPanelUnit, "kg");
   EXPECT_FLOAT_EQ(m_player->WeightPerPanel, 20.0f * 0.45359236f);
   EXPECT_EQ(boxes().m_pfloatboxWeight->units(), "kg");
   press(boxes().m_pbuttonKg);
   EXPECT_FLOAT_EQ(m_player->WeightPerPanel, 20.0f * 0.45359236f);
   press(boxes().m_pbuttonLb);
   EXPECT_NEAR(m_player->WeightPerPanel, 20.0f, 1e-5f);
   EXPECT_EQ(boxes().m_pfloatboxWeight->value(), m_player->WeightPerPanel);
}

TEST_F(screen_info, a_unit_other_than_pounds_fills_as_kilograms)
{
   for (const char * pszUnit : {"kg", "stone"})
   {
      m_player->WeightPerPanelUnit = pszUnit;
      boxes().get_settings_from_layer(m_player);
      EXPECT_TRUE(boxes().m_pbuttonKg->pushed());
      EXPECT_FALSE(boxes().m_pbuttonLb->pushed());
      EXPECT_EQ(boxes().m_pfloatboxWeight->units(), "kg");
   }
   m_player->WeightPerPanelUnit = "LB";
   boxes().get_settings_from_layer(m_player);
   EXPECT_TRUE(boxes().m_pbuttonLb->pushed());
}

TEST_F(screen_info, name_direction_boxes_exclude_each_other)
{
   click(boxes().m_pcheckboxNamesForward);
   EXPECT_EQ(m_player->DrawBoxesNames, 1);
   EXPECT_EQ(m_player->BoxesNamesReverse, 0);
   click(boxes().m_pcheckboxNamesReverse);
   EXPECT_EQ(m_player->DrawBoxesNames, 1);
   EXPECT_EQ(m_player->BoxesNamesReverse, 1);
   EXPECT_FALSE(boxes().m_pcheckboxNamesForward->checked());
   click(boxes().m_pcheckboxNamesReverse);
   EXPECT_EQ(m_player->DrawBoxesNames, 0);
}

TEST_F(screen_info, the_cabinet_id_size_is_stored_as_typed_and_shown_filtered)
{
   boxes().m_pintboxNamesSize->set_value(3, e_source_user);
   EXPECT_EQ(m_player->BoxesNamesFontSize.size(), 3);
   boxes().get_settings_from_layer(m_player);
   EXPECT_EQ(boxes().m_pintboxNamesSize->value(), 5);
}

TEST_F(screen_info, the_diagonal_unit_fills_ignoring_case_and_writes_by_index)
{
   m_player->ScreenDiagonalUnit = "METER";
   boxes().get_settings_from_layer(m_player);
   EXPECT_EQ(boxes().m_pcomboDiagonalUnit->selected_index(), 2);
   m_player->ScreenDiagonalUnit = "yards";
   boxes().get_settings_from_layer(m_player);
   EXPECT_EQ(boxes().m_pcomboDiagonalUnit->selected_index(), 0);
   boxes().m_pcomboDiagonalUnit->set_selected_index(1, e_source_user);
   EXPECT_EQ(m_player->ScreenDiagonalUnit, "feet");
}

TEST_F(screen_info, colours_are_stored_opaque)
{
   boxes().m_pcolorpickerBorder->pick(color::color(10, 200, 30, 255).get_hls());
   EXPECT_EQ(m_player->BoxBorderColor, color::color(10, 200, 30, 255));
}

TEST_F(screen_info, raising_the_grid_never_asks)
{
   set_custom_data_path({key(9, 0), key(9, 4)});
   type(boxes().m_ptextboxColumns, "20");
   EXPECT_EQ(m_player->Columns, 20);
   EXPECT_FALSE(dialog_titled("Clear Custom Path"));
   EXPECT_EQ(m_player->m_descriptionData.custom_paths.size(), 1u);
}

TEST_F(screen_info, shrinking_where_no_custom_path_reaches_applies_at_once)
{
   m_player->Columns = 10;
   set_custom_data_path({key(0, 0), key(3, 0)});
   type(boxes().m_ptextboxColumns, "5");
   EXPECT_EQ(m_player->Columns, 5);
   EXPECT_FALSE(dialog_titled("Clear Custom Path"));
   set_custom_data_path({key(0, 0), key(0, 4)});
   type(boxes().m_ptextboxColumns, "0");
   EXPECT_EQ(m_player->Columns, 0);
   EXPECT_FALSE(dialog_titled("Clear Custom Path"));
}

TEST_F(screen_info, shrinking_under_a_custom_path_asks_and_yes_clears_both_paths)
{
   m_player->Columns = 10;
   m_player->Rows = 10;
   m_player->PowerWatts = 100;
   m_player->PowerPhases = 1;
   m_player->PowerVolts = 100;
   set_custom_data_path({key(0, 0), key(3, 0)});
   m_player->m_descriptionPower.custom_paths = {{key(5, 1)}, {key(1, 1)}};
   type(boxes().m_ptextboxColumns, "3");
   EXPECT_EQ(m_player->Columns, 10);
   zelui::MessageDialog * pdialog = dialog_titled("Clear Custom Path");
   ASSERT_TRUE(pdialog);
   pdialog->answer(0);
   EXPECT_EQ(m_player->Columns, 3);
   EXPECT_TRUE(m_player->m_descriptionData.custom_paths.empty());
   ASSERT_EQ(m_player->m_descriptionPower.custom_paths.size(), 1u);
   EXPECT_EQ(boxes().m_ptextboxColumns->value(), "3");
   EXPECT_EQ(window<SettingsPower>()->m_pparameters->m_plabelTotal->caption(), "Total Power 30.00 A");
}

TEST_F(screen_info, no_keeps_the_grid_and_shows_the_old_row_count)
{
   m_player->Columns = 2;
   m_player->Rows = 10;
   set_custom_data_path({key(0, 6)});
   type(boxes().m_ptextboxRows, "4");
   zelui::MessageDialog * pdialog = dialog_titled("Clear Custom Path");
   ASSERT_TRUE(pdialog);
   pdialog->answer(1);
   EXPECT_EQ(m_player->Rows, 10);
   EXPECT_EQ(boxes().m_ptextboxRows->value(), "10");
   EXPECT_EQ(m_player->m_descriptionData.custom_paths.size(), 1u);
}

class rotation : public screen_info
{
protected:
   void SetUp() override
   {
      screen_info::SetUp();
      m_player->Width = 100;
      m_player->Height = 100;
      m_player->Columns = 2;
      m_player->Rows = 1;
      m_player->HalfColumns.reset();
   }
};

TEST_F(rotation, zero_changes_only_the_rotation)
{
   m_player->set_offset_x(10);
   m_player->set_offset_y(20);
   boxes().m_pfloatboxRotation->set_value(0.0f, e_source_user);
   EXPECT_EQ(m_player->get_offset_x(), 10);
   EXPECT_EQ(m_player->get_offset_y(), 20);
   EXPECT_EQ(m_player->get_rotation(), 0.0f);
}

TEST_F(rotation, a_quarter_turn_brings_the_layer_back_from_the_left)
{
   boxes().m_pfloatboxRotation->set_value(90.0f, e_source_user);
   EXPECT_NEAR(m_player->get_offset_x(), 100, 1);
   EXPECT_EQ(m_player->get_offset_y(), 0);
   EXPECT_EQ(boxes().m_ptextboxOffsetX->value(), std::to_string(m_player->get_offset_x()));
   EXPECT_FLOAT_EQ(m_player->get_rotation(), static_cast<float>(std::numbers::pi / 2));
}

TEST_F(rotation, a_quarter_turn_back_brings_it_down_from_the_top)
{
   boxes().m_pfloatboxRotation->set_value(-90.0f, e_source_user);
   EXPECT_NEAR(m_player->get_offset_y(), 200, 1);
   EXPECT_EQ(m_player->get_offset_x(), 0);
}

TEST_F(rotation, leaving_at_the_bottom_only_puts_the_layer_at_the_raster_height_less_its_own)
{
   m_player->set_offset_y(1000);
   boxes().m_pfloatboxRotation->set_value(1.0f, e_source_user);
   EXPECT_EQ(m_player->get_offset_y(), 1080 - 100);
}

TEST_F(rotation, a_turned_layer_taller_than_the_raster_stays)
{
   m_player->Columns = 20;
   m_player->set_offset_x(-500);
   m_player->set_offset_y(-10);
   // Turned by 90 about the origin: y from -500 to 1500, beyond both edges.
   boxes().m_pfloatboxRotation->set_value(90.0f, e_source_user);
   EXPECT_EQ(m_player->get_offset_y(), -10);
}

TEST_F(rotation, a_layer_at_the_32_bit_bounds_is_brought_back_as_far_as_an_offset_goes)
{
   m_player->set_offset_x(std::numeric_limits<int>::max());
   m_player->set_offset_y(0);
   // Turned half round about the origin, its left edge lies beyond -2^31.
   boxes().m_pfloatboxRotation->set_value(180.0f, e_source_user);
   EXPECT_EQ(m_player->get_offset_x(), std::numeric_limits<int>::max());
}

TEST_F(rotation, the_refill_shows_the_stored_angle_in_degrees)
{
   boxes().m_pfloatboxRotation->set_value(45.0f, e_source_user);
   EXPECT_EQ(m_player->get_rotation(), static_cast<float>(45.0 * std::numbers::pi / 180.0));
   boxes().get_settings_from_layer(m_player);
   EXPECT_FLOAT_EQ(boxes().m_pfloatboxRotation->value(), 45.0f);
}

} // namespace
