// The path pattern picker and the "Power", "Data-Flow Diagram" and "Colors" windows.

#include "orvo/exception.h"
#include "panels/CheckboxWithFocus.h"
#include "toolwindows/SettingsBoxesColors.h"
#include "toolwindows/SettingsDataDiagram.h"
#include "toolwindows/SettingsPower.h"
#include "toolwindows/SnakeSelector.h"
#include "thrown_status.h"
#include "tool_windows_test.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

class path_windows : public tool_windows_test
{
protected:
   SnakeSelector & data_picker() const { return *window<SettingsDataDiagram>()->m_psnakeselector; }
   SnakeSelector & power_picker() const { return *window<SettingsPower>()->m_psnakeselector; }
   SettingsPower::MainParameters & power() const { return *window<SettingsPower>()->m_pparameters; }
   SettingsDataDiagram::W_SnakeSecondParams & data() const { return *window<SettingsDataDiagram>()->m_pparams; }
   SettingsBoxesColors & colors() const { return *window<SettingsBoxesColors>(); }

   static std::vector<bool> checked(const SnakeSelector & picker)
   {
      std::vector<bool> states;
      for (CheckboxWithFocus * pcheckbox : picker.check_boxes())
      {
         states.push_back(pcheckbox->checked());
      }
      return states;
   }

   void refill() { m_pscreen->reload_all(true); }
   const string_base & total() const { return power().m_plabelTotal->caption(); }
};

// Each box of a picker and the picture beside it, for the patterns given.
std::vector<string_base> picker_face(std::initializer_list<int> patterns)
{
   std::vector<string_base> face;
   for (const int iPattern : patterns)
   {
      face.push_back("[ ]");
      face.push_back(format("picture 25x25 matter://res/s%02d.png", iPattern));
   }
   return face;
}

std::vector<string_base> joined(std::vector<string_base> first, const std::vector<string_base> & second)
{
   first.insert(first.end(), second.begin(), second.end());
   return first;
}

TEST_F(path_windows, a_new_power_window_shows_its_captions_and_initial_values)
{
   expect_new_window_face<SettingsPower>("Power", joined(joined({"(x)"}, picker_face({0, 1, 4, 6})), {
      "Visible", "[ ]", "Color", "#FF0000",
      "(Custom Power Path)", "[ ]", "Line Width", "[0]",
      "Volts (Line to Ground)", "{110V|208V|220V|230V|240V|Custom} 110V", "(Custom)", "[Untitled] read-only",
      "Amperes (Power Circuit)", "{15A|20A|Custom} 15A", "(Custom)", "[Untitled] read-only",
      "Phases", "{1 Phase|3 Phases} 1 Phase", "Watts", "[0]",
      "Maximize Power Use", "[ ]", "Organized", "[ ]",
      "Total Power: 0 Amp",
   }));
}

TEST_F(path_windows, a_new_data_flow_window_shows_its_captions_and_initial_values)
{
   expect_new_window_face<SettingsDataDiagram>("Data-Flow Diagram", joined(joined({"(x)"}, picker_face({0, 1, 2, 3, 4, 5, 6, 7})), {
      "Random Colors", "[ ]", "Color", "#0000FF",
      "Visible", "[ ]", "Line Width", "[0]",
      "(Custom Data Path)", "[ ]", "Skip Blank", "[ ]",
      "Novastar", "[ ]", "Other Type", "[ ]",
      "Pixel Limit", "[0]",
   }));
}

TEST_F(path_windows, a_new_colors_window_shows_its_buttons_and_no_row)
{
   auto * pwindow = new SettingsBoxesColors(m_pscreen.get(), m_pglobal);
   EXPECT_EQ(pwindow->title(), "Colors        ");
   EXPECT_EQ(face_of(*pwindow), (std::vector<string_base>{"(x)", "(Add)", "(Delete)"}));
   EXPECT_EQ(pwindow->row_count(), 0);
   EXPECT_EQ(SettingsBoxesColors::getButtonSize(), (size_type<int>{55, 22}));
   const color::color table[6] = {
      {0x40, 0x80, 0x80, 0xff}, {0xd7, 0x01, 0x01, 0xff}, {0xa0, 0xa0, 0x30, 0xff},
      {0x40, 0x80, 0x40, 0xff}, {0x80, 0x20, 0x80, 0xff}, {0x20, 0x20, 0x80, 0xff},
   };
   EXPECT_TRUE(std::equal(std::begin(table), std::end(table), std::begin(g_colortablea)));
}

TEST_F(path_windows, the_one_field_controls_write_their_field_and_mark_the_layer_changed)
{
   {
      SCOPED_TRACE("Power");
      expect_switch_writes(power().m_pcheckboxVisible, m_player->DrawPowerSnake);
      expect_colour_writes(power().m_pcolorpicker, m_player->m_descriptionPower.m_color);
      expect_number_writes(power().m_pintboxLineWidth, m_player->m_descriptionPower.m_iWidth);
      expect_number_writes(power().m_pintboxWatts, m_player->PowerWatts);
   }
   {
      SCOPED_TRACE("Data-Flow Diagram");
      expect_switch_writes(data().m_pcheckboxRandomColors, m_player->m_descriptionData.m_iUseRandomColor);
      expect_switch_writes(data().m_pcheckboxVisible, m_player->DrawSnake);
      expect_number_writes(data().m_pintboxLineWidth, m_player->m_descriptionData.m_iWidth);
      expect_number_writes(data().m_pintboxPixelLimit, m_player->m_descriptionData.m_iLimit);
   }
}

TEST_F(path_windows, the_pickers_offer_eight_or_four_patterns_with_their_pictures)
{
   ASSERT_EQ(data_picker().check_boxes().size(), 8u);
   ASSERT_EQ(power_picker().check_boxes().size(), 4u);
   EXPECT_EQ(power_picker().check_boxes()[3]->id(), "SnakeCheckbox3");
   EXPECT_EQ(power_picker().images()[3]->image().path(), "matter://res/s06.png");
   EXPECT_EQ(data_picker().images()[5]->image().path(), "matter://res/s05.png");
   EXPECT_EQ(data_picker().images()[0]->preferred_size(nullptr), (size_type<int>{25, 25}));
}

TEST_F(path_windows, the_picker_checks_exactly_the_layers_pattern)
{
   m_player->m_descriptionData.m_iMode = 3;
   m_player->m_descriptionPower.m_iMode = 6;
   refill();
   EXPECT_EQ(checked(data_picker()), (std::vector<bool>{false, false, false, true, false, false, false, false}));
   EXPECT_EQ(checked(power_picker()), (std::vector<bool>{false, false, false, true}));
   m_player->m_descriptionData.m_iMode = 9;
   m_player->m_descriptionPower.m_iMode = 5;
   refill();
   EXPECT_EQ(checked(data_picker()), std::vector<bool>(8, false));
   EXPECT_EQ(checked(power_picker()), (std::vector<bool>{true, false, false, false}));
   EXPECT_EQ(m_player->m_descriptionPower.m_iMode, 5);
}

TEST_F(path_windows, a_click_writes_the_boxs_pattern_and_cannot_uncheck_it)
{
   click(power_picker().check_boxes()[2]);
   EXPECT_EQ(m_player->m_descriptionPower.m_iMode, 4);
   EXPECT_EQ(checked(power_picker()), (std::vector<bool>{false, false, true, false}));
   changed();
   click(power_picker().check_boxes()[2]);
   EXPECT_TRUE(power_picker().check_boxes()[2]->checked());
   EXPECT_TRUE(changed());
   click(data_picker().check_boxes()[7]);
   EXPECT_EQ(m_player->m_descriptionData.m_iMode, 7);
}

TEST_F(path_windows, a_click_without_a_screen_layer_only_toggles_the_box)
{
   refill();
   const std::vector<bool> before = checked(data_picker());
   remove_layers();
   changed();
   click(data_picker().check_boxes()[1]);
   std::vector<bool> expected = before;
   expected[1] = !expected[1];
   EXPECT_EQ(checked(data_picker()), expected);
   EXPECT_FALSE(changed());
}

TEST_F(path_windows, the_total_follows_watts_phases_and_volts)
{
   m_player->Columns = 10;
   m_player->Rows = 10;
   m_player->PowerWatts = 100;
   power().m_pcomboPhases->set_selected_index(0, e_source_user);
   power().m_pcomboVolts->set_selected_index(2, e_source_user);
   EXPECT_EQ(total(), "Total Power 45.45 A");
   power().m_pcomboPhases->set_selected_index(1, e_source_user);
   power().m_pcomboVolts->set_selected_index(3, e_source_user);
   EXPECT_EQ(m_player->PowerPhases, 3);
   EXPECT_EQ(total(), "Total Power 25.10 A");
}

TEST_F(path_windows, zero_volts_show_a_total_without_trapping)
{
   type(power().m_ptextboxCustomVolts, "volts");
   EXPECT_EQ(m_player->PowerVolts, 0);
   EXPECT_EQ(total().rfind("Total Power ", 0), 0u);
}

TEST_F(path_windows, custom_volts_are_typed_and_a_fixed_value_selects_its_entry)
{
   power().m_pcomboVolts->set_selected_index(5, e_source_user);
   EXPECT_EQ(m_player->PowerVolts, 120);
   EXPECT_EQ(power().m_ptextboxCustomVolts->value(), "120");
   EXPECT_TRUE(power().m_ptextboxCustomVolts->editable());
   type(power().m_ptextboxCustomVolts, "250");
   EXPECT_EQ(m_player->PowerVolts, 250);
   EXPECT_EQ(power().m_pcomboVolts->selected_index(), 5);
   EXPECT_TRUE(power().m_ptextboxCustomVolts->editable());
   type(power().m_ptextboxCustomVolts, "230");
   EXPECT_EQ(power().m_pcomboVolts->selected_index(), 3);
   EXPECT_FALSE(power().m_ptextboxCustomVolts->editable());
}

TEST_F(path_windows, custom_amperes_are_typed_and_a_fixed_value_selects_its_entry)
{
   power().m_pcomboAmperes->set_selected_index(2, e_source_user);
   EXPECT_EQ(m_player->WireAmps, 25);
   EXPECT_EQ(power().m_ptextboxCustomAmperes->value(), "25");
   EXPECT_TRUE(power().m_ptextboxCustomAmperes->editable());
   type(power().m_ptextboxCustomAmperes, "20");
   EXPECT_EQ(power().m_pcomboAmperes->selected_index(), 1);
   EXPECT_EQ(m_player->WireAmps, 20);
}

TEST_F(path_windows, the_power_fill_shows_odd_values_and_keeps_the_boxes_editability)
{
   m_player->PowerVolts = 120;
   m_player->PowerPhases = 2;
   m_player->PowerDiagramType = 5;
   refill();
   EXPECT_EQ(power().m_pcomboVolts->selected_index(), 5);
   EXPECT_EQ(power().m_ptextboxCustomVolts->value(), "120");
   EXPECT_FALSE(power().m_ptextboxCustomVolts->editable());
   EXPECT_EQ(power().m_pcomboPhases->selected_index(), 1);
   EXPECT_EQ(m_player->PowerPhases, 2);
   EXPECT_TRUE(power().m_pcheckboxOrganized->checked());
   EXPECT_FALSE(power().m_pcheckboxMaximize->checked());
}

TEST_F(path_windows, each_diagram_pair_keeps_exactly_one_box_checked)
{
   refill();
   click(power().m_pcheckboxMaximize);
   EXPECT_TRUE(power().m_pcheckboxOrganized->checked());
   EXPECT_EQ(m_player->PowerDiagramType, 1);
   click(power().m_pcheckboxOrganized);
   EXPECT_TRUE(power().m_pcheckboxMaximize->checked());
   EXPECT_EQ(m_player->PowerDiagramType, 0);
   click(data().m_pcheckboxNovastar);
   EXPECT_TRUE(data().m_pcheckboxOtherType->checked());
   EXPECT_EQ(m_player->DataDiagramType, 1);
   click(data().m_pcheckboxNovastar);
   EXPECT_FALSE(data().m_pcheckboxOtherType->checked());
   EXPECT_EQ(m_player->DataDiagramType, 0);
   m_player->DataDiagramType = 5;
   refill();
   EXPECT_TRUE(data().m_pcheckboxOtherType->checked());
   EXPECT_EQ(m_player->DataDiagramType, 5);
}

TEST_F(path_windows, the_custom_power_path_button_switches_the_path_on_once_and_then_only_aims_the_canvas)
{
   m_player->m_descriptionPower.m_iCustomPath = 0;
   m_player->DrawPowerSnake = 0;
   refill();
   press(power().m_pbuttonCustomPath);
   EXPECT_EQ(m_player->m_descriptionPower.m_iCustomPath, 1);
   EXPECT_EQ(m_player->DrawPowerSnake, 1);
   EXPECT_EQ(m_player->custom_path_target, 0);
   EXPECT_TRUE(power().m_pcheckboxCustomPath->checked());
   press(data().m_pbuttonCustomPath);
   EXPECT_EQ(m_player->custom_path_target, 1);
   changed();
   press(power().m_pbuttonCustomPath);
   EXPECT_EQ(m_player->custom_path_target, 0);
   EXPECT_FALSE(changed());
}

TEST_F(path_windows, the_custom_data_path_check_box_turns_the_path_visible_and_unchecking_leaves_it)
{
   m_player->m_descriptionData.m_iCustomPath = 0;
   m_player->DrawSnake = 0;
   m_player->custom_path_target = 0;
   refill();
   press(data().m_pbuttonCustomPath);
   EXPECT_EQ(m_player->m_descriptionData.m_iCustomPath, 1);
   EXPECT_EQ(m_player->DrawSnake, 1);
   EXPECT_TRUE(data().m_pcheckboxVisible->checked());
   EXPECT_EQ(m_player->custom_path_target, 1);
   click(data().m_pcheckboxCustomPath);
   EXPECT_EQ(m_player->m_descriptionData.m_iCustomPath, 0);
   EXPECT_EQ(m_player->DrawSnake, 1);
}

TEST_F(path_windows, skip_blank_refreshes_the_power_total_at_once)
{
   m_player->Columns = 10;
   m_player->Rows = 1;
   m_player->PowerWatts = 100;
   m_player->PowerPhases = 1;
   m_player->PowerVolts = 100;
   m_player->ExcludeBoxes.add(0);
   m_player->SkipBlankBoxes = 0;
   refill();
   EXPECT_EQ(total(), "Total Power 10.00 A");
   click(data().m_pcheckboxSkipBlank);
   EXPECT_EQ(total(), "Total Power 9.00 A");
}

TEST_F(path_windows, a_picked_path_colour_is_stored_opaque)
{
   m_player->m_descriptionData.m_color = color::color(1, 2, 3, 100);
   data().m_pcolorpicker->pick(color::color(200, 100, 50, 100).get_hls());
   EXPECT_EQ(m_player->m_descriptionData.m_color, color::color(200, 100, 50, 255));
}

TEST_F(path_windows, refilling_runs_no_callback_and_marks_nothing_changed)
{
   window<SettingsPower>()->get_settings_from_layer(m_player);
   window<SettingsDataDiagram>()->get_settings_from_layer(m_player);
   EXPECT_FALSE(changed());
}

TEST_F(path_windows, add_appends_a_row_with_the_next_default_colour_and_its_tint)
{
   m_player->BoxColors = {g_colortablea[0]};
   m_player->BoxTintColors = {BoxesLayerDescription::tint_of(g_colortablea[0])};
   colors().get_settings_from_layer(m_player);
   EXPECT_EQ(colors().row_count(), 1);
   press(colors().m_pcontrolbox->m_pbuttonAdd);
   ASSERT_EQ(m_player->BoxColors.size(), 2u);
   EXPECT_EQ(m_player->BoxColors[1], color::color(0xd7, 0x01, 0x01, 0xff));
   EXPECT_EQ(m_player->BoxTintColors[1], color::color(0xe9, 0x73, 0x73, 0xff));
   EXPECT_EQ(BoxesLayerDescription::tint_of(g_colortablea[0]), color::color(0x95, 0xb9, 0xb9, 0xff));
}

TEST_F(path_windows, seven_rows_from_an_empty_list_repeat_the_table)
{
   m_player->BoxColors.clear();
   m_player->BoxTintColors.clear();
   // A window that never showed a row.
   auto * pfresh = new SettingsBoxesColors(m_pscreen.get(), m_pglobal);
   pfresh->get_settings_from_layer(m_player);
   EXPECT_FALSE(pfresh->m_pcontrolbox->m_pbuttonDelete->enabled());
   for (int i = 0; i < 7; ++i)
   {
      press(pfresh->m_pcontrolbox->m_pbuttonAdd);
   }
   ASSERT_EQ(m_player->BoxColors.size(), 7u);
   ASSERT_EQ(m_player->BoxTintColors.size(), 7u);
   for (std::size_t i = 0; i < 7; ++i)
   {
      EXPECT_EQ(m_player->BoxColors[i], g_colortablea[i % 6]);
      EXPECT_EQ(m_player->BoxTintColors[i], BoxesLayerDescription::tint_of(g_colortablea[i % 6]));
   }
}

TEST_F(path_windows, delete_hides_the_last_row_and_add_brings_it_back_as_it_was)
{
   m_player->BoxColors = {color::color(10, 20, 30, 255)};
   m_player->BoxTintColors = {color::color(40, 50, 60, 255)};
   colors().get_settings_from_layer(m_player);
   press(colors().m_pcontrolbox->m_pbuttonDelete);
   EXPECT_TRUE(m_player->BoxColors.empty());
   EXPECT_TRUE(m_player->BoxTintColors.empty());
   EXPECT_FALSE(colors().m_pcontrolbox->m_pbuttonDelete->enabled());
   EXPECT_FALSE(colors().m_pcolorgrid->m_pairs[0].first->visible());
   press(colors().m_pcontrolbox->m_pbuttonAdd);
   EXPECT_EQ(m_player->BoxColors, (std::vector<color::color>{color::color(10, 20, 30, 255)}));
   EXPECT_EQ(m_player->BoxTintColors, (std::vector<color::color>{color::color(40, 50, 60, 255)}));
}

TEST_F(path_windows, a_tint_pick_rewrites_only_the_tints)
{
   m_player->BoxColors = {g_colortablea[0], g_colortablea[1], g_colortablea[2]};
   m_player->BoxTintColors = {g_colortablea[3], g_colortablea[4], g_colortablea[5]};
   colors().get_settings_from_layer(m_player);
   const std::vector<color::color> colours = m_player->BoxColors;
   colors().color_picker_pair(2).second->pick(color::color(0, 255, 0, 255).get_hls());
   EXPECT_EQ(m_player->BoxColors, colours);
   EXPECT_EQ(m_player->BoxTintColors, (std::vector<color::color>{g_colortablea[3], g_colortablea[4], color::color(0, 255, 0, 255)}));
}

TEST_F(path_windows, filling_the_colours_writes_them_back_opaque_and_marks_the_document_changed)
{
   m_player->BoxColors = {color::color(10, 20, 30, 40)};
   m_player->BoxTintColors = {color::color(50, 60, 70, 80)};
   changed();
   colors().get_settings_from_layer(m_player);
   EXPECT_TRUE(changed());
   EXPECT_EQ(m_player->BoxColors[0], color::color(10, 20, 30, 255));
   EXPECT_EQ(m_player->BoxTintColors[0], color::color(50, 60, 70, 255));
}

TEST_F(path_windows, a_layer_with_fewer_tints_than_colours_fills_the_missing_tints_derived)
{
   m_player->BoxColors = {g_colortablea[0], g_colortablea[1]};
   m_player->BoxTintColors = {color::color(1, 2, 3, 255)};
   colors().get_settings_from_layer(m_player);
   EXPECT_EQ(m_player->BoxTintColors,
             (std::vector<color::color>{color::color(1, 2, 3, 255), BoxesLayerDescription::tint_of(g_colortablea[1])}));
}

TEST_F(path_windows, fewer_colours_hide_the_surplus_rows_and_without_a_layer_nothing_is_written)
{
   m_player->BoxColors = {g_colortablea[0], g_colortablea[1], g_colortablea[2]};
   m_player->BoxTintColors = m_player->BoxColors;
   colors().get_settings_from_layer(m_player);
   m_player->BoxColors.resize(1);
   m_player->BoxTintColors.resize(1);
   colors().get_settings_from_layer(m_player);
   EXPECT_TRUE(colors().m_pcolorgrid->m_pairs[0].first->visible());
   EXPECT_FALSE(colors().m_pcolorgrid->m_pairs[2].second->visible());
   pointer<boxes_layer> pkept = m_player;
   remove_layers();
   changed();
   colors().color_picker_pair(0).second->pick(color::color(0, 0, 0, 255).get_hls());
   press(colors().m_pcontrolbox->m_pbuttonAdd);
   EXPECT_EQ(colors().row_count(), 2);
   EXPECT_EQ(pkept->BoxTintColors.size(), 1u);
   EXPECT_FALSE(changed());
   EXPECT_EQ(thrown_status([&] { colors().color_picker_pair(2); }), static_cast<std::int32_t>(0x800007D3));
}

TEST_F(path_windows, the_colour_rows_join_the_focus_order_once)
{
   const std::size_t uBefore = m_pglobal->tab_order().size();
   refill();
   refill();
   EXPECT_EQ(m_pglobal->tab_order().size(), uBefore);
}

} // namespace
