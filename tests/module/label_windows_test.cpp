// The "Raster Label", "Labels" and About windows, and the fixed-size picture widget.

#include "host/context.h"
#include "host/node.h"
#include "orvo/image.h"
#include "panels/CheckboxWithFocus.h"
#include "panels/LayerPreviewImage.h"
#include "panels/LayerList.h"
#include "panels/RightPanel.h"
#include "panels/ScrollList.h"
#include "toolwindows/SettingsBoxes.h"
#include "toolwindows/SettingsBoxesColors.h"
#include "toolwindows/About.h"
#include "toolwindows/SettingsLabels.h"
#include "toolwindows/SettingsRasterLabel.h"
#include "toolwindows/W_Image.h"
#include "zelui/recording_interaction.h"
#include "tool_windows_test.h"
#include "widgets_in.h"
#include "zel2d/context.h"
#include "zelui/Label.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

class label_windows : public tool_windows_test
{
protected:
   SettingsRasterLabel & raster() const { return *window<SettingsRasterLabel>(); }
   SettingsLabels & labels() const { return *window<SettingsLabels>(); }
};

TEST_F(label_windows, a_new_raster_label_window_shows_its_captions_and_initial_values)
{
   expect_new_window_face<SettingsRasterLabel>("Raster Label", {
      "(x)",
      "Raster Label", "[ ]",
      "Offset X", "[Untitled]",
      "Offset Y", "[Untitled]",
      "Font Size", "[0]",
      "Line 1:", "[Untitled]",
      "Line 2:", "[Untitled]",
      "Line 3:", "[Untitled]",
      "Line 4:", "[Untitled]",
   });
}

TEST_F(label_windows, a_new_labels_window_shows_its_captions_and_initial_values)
{
   expect_new_window_face<SettingsLabels>("Labels", {
      "(x)",
      "[ ]", "[ ]",
      "          OFFSETS", "",
      "[ ]", "[ ]",
      "Layer Name", "[ ]",
      "Layer Size (px)", "[ ]",
      "Layer Size (m)", "[ ]",
      "Layer Size (ft)", "[ ]",
      "Power", "[ ]",
      "Info", "[ ]",
      "Labels Color", "#FF0000",
      "Labels Fontsize", "[0]",
      "Name Fontsize", "[0]",
      "Layer Name:", "[Untitled]",
   });
}

TEST_F(label_windows, each_label_switch_writes_its_key_and_marks_the_layer_changed)
{
   const std::tuple<const char *, zelui::CheckBox *, int *> switches[] = {
      {"Layer Name", labels().m_pcheckboxLayerName, &m_player->DrawLayerName},
      {"Layer Size (px)", labels().m_pcheckboxSizePixels, &m_player->DrawScreenSize},
      {"Layer Size (m)", labels().m_pcheckboxSizeMetres, &m_player->ShowMM},
      {"Layer Size (ft)", labels().m_pcheckboxSizeFeet, &m_player->ShowFT},
      {"Power", labels().m_pcheckboxPower, &m_player->DrawPower},
      {"Info", labels().m_pcheckboxInfo, &m_player->DrawInfoLine},
   };
   for (const auto & [pszCaption, pcheckbox, pfield] : switches)
   {
      SCOPED_TRACE(pszCaption);
      expect_switch_writes(pcheckbox, *pfield);
   }
}

TEST_F(label_windows, raster_offsets_evaluate_expressions_and_show_the_stored_value)
{
   type(raster().m_ptextboxX, "100+20");
   EXPECT_EQ(document().m_iRasterLabelX, 120);
   EXPECT_EQ(raster().m_ptextboxX->value(), "120");
   EXPECT_TRUE(changed());
   type(raster().m_ptextboxY, "abc");
   EXPECT_EQ(document().m_iRasterLabelY, 0);
   EXPECT_EQ(raster().m_ptextboxY->value(), "0");
}

TEST_F(label_windows, a_raster_line_beyond_the_stored_ones_grows_the_lines_with_empty_ones)
{
   document().m_straRasterLabel.clear();
   type(raster().m_textboxesLines[2], "  ");
   ASSERT_EQ(document().m_straRasterLabel.count(), 3);
   EXPECT_EQ(document().m_straRasterLabel[0], "");
   EXPECT_EQ(document().m_straRasterLabel[2], "  ");
}

TEST_F(label_windows, the_raster_label_switch_marks_the_document_not_a_layer)
{
   document().m_bRasterLabel = true;
   m_player->clear_changed();
   raster().m_pcheckboxShown->set_checked(true, e_source_sync);
   click(raster().m_pcheckboxShown);
   EXPECT_FALSE(document().m_bRasterLabel);
   EXPECT_TRUE(changed());
   EXPECT_FALSE(m_player->has_changed());
}

TEST(raster_label_window, an_edit_sets_the_documents_flag_and_asks_the_main_window_only_for_a_redraw)
{
   auto pwindow = make_pointer<recording_interaction>();
   auto pscreen = make_pointer<MainScreen>(pwindow.get());
   pwindow->set_appearance(pscreen->appearance());
   Global * pglobal = pscreen->get_global();
   pglobal->load_default_layers();
   pscreen->create_main_screen();
   pointer<boxes_layer> player = pglobal->current_project()->current_boxes_layer();
   player->clear_changed();
   pglobal->take_changed();
   pwindow->m_iLayouts = pwindow->m_iRedraws = pwindow->m_iPosts = 0;
   pscreen->get_raster_label_window()->m_pintboxFontSize->set_value(30, e_source_user);
   EXPECT_TRUE(pglobal->take_changed());
   EXPECT_FALSE(player->has_changed());
   EXPECT_GT(pwindow->m_iRedraws, 0);
   EXPECT_GT(pwindow->m_iPosts, 0);
   // The canvas is not asked to lay out, as the controller's own change signal would ask it.
   EXPECT_EQ(pwindow->m_iLayouts, 0);
   pwindow->set_appearance(nullptr);
}

TEST_F(label_windows, the_raster_label_edits_without_a_screen_layer_and_refills_quietly)
{
   remove_layers();
   raster().m_pintboxFontSize->set_value(33, e_source_user);
   EXPECT_EQ(document().m_iRasterLabelFontSize, 33);
   document().m_straRasterLabel = {"one"};
   changed();
   raster().get_settings_from_layer(nullptr);
   EXPECT_EQ(raster().m_textboxesLines[0]->value(), "one");
   EXPECT_EQ(raster().m_textboxesLines[3]->value(), "");
   EXPECT_FALSE(changed());
}

TEST_F(label_windows, copying_to_the_raster_reads_the_offsets_leading_digits_only)
{
   raster().get_settings_from_layer(m_player);
   const int iFontSize = document().m_iRasterLabelFontSize;
   raster().get_settings_from_raster();
   EXPECT_EQ(document().m_iRasterLabelFontSize, iFontSize);
   raster().m_ptextboxX->set_value("12abc", e_source_sync);
   raster().m_ptextboxY->set_value("2*3", e_source_sync);
   raster().get_settings_from_raster();
   EXPECT_EQ(document().m_iRasterLabelX, 12);
   EXPECT_EQ(document().m_iRasterLabelY, 2);
   EXPECT_GE(document().m_straRasterLabel.count(), 4);
}

TEST_F(label_windows, corner_boxes_are_independent)
{
   m_player->CornersMode = 0;
   labels().get_settings_from_layer(m_player);
   click(labels().m_checkboxesCorners[e_corner_top_left]);
   click(labels().m_checkboxesCorners[e_corner_bottom_right]);
   EXPECT_EQ(m_player->CornersMode, 9);
   click(labels().m_checkboxesCorners[e_corner_top_left]);
   EXPECT_EQ(m_player->CornersMode, 8);
   m_player->toggle_corner_label(e_corner_top_left);
   labels().get_settings_from_layer(m_player);
   EXPECT_TRUE(labels().m_checkboxesCorners[e_corner_top_left]->checked());
}

TEST_F(label_windows, font_sizes_are_stored_as_typed_and_shown_through_the_layers_filter)
{
   labels().m_pintboxLabelsFontSize->set_value(3, e_source_user);
   labels().m_pintboxNameFontSize->set_value(0, e_source_user);
   EXPECT_EQ(m_player->LabelFontSize.size(), 3);
   labels().get_settings_from_layer(m_player);
   EXPECT_EQ(labels().m_pintboxLabelsFontSize->value(), 5);
   EXPECT_EQ(labels().m_pintboxNameFontSize->value(), 0);
}

TEST_F(label_windows, switches_and_colour_write_their_keys)
{
   m_player->ShowFT = 0;
   click(labels().m_pcheckboxSizeFeet);
   EXPECT_EQ(m_player->ShowFT, 1);
   labels().m_pcolorpicker->pick(color::color(0, 128, 255, 10).get_hls());
   EXPECT_EQ(m_player->LabelFontColor, color::color(0, 128, 255, 255));
}

TEST_F(label_windows, the_name_field_renames_a_current_image_layer_and_nothing_else_reaches_it)
{
   make_image_layer_current();
   type(labels().m_ptextboxName, "Backdrop");
   EXPECT_EQ(document().current_layer()->get_name(), "Backdrop");
   click(labels().m_pcheckboxInfo);
   remove_layers();
   type(labels().m_ptextboxName, "Nobody");
   EXPECT_EQ(labels().m_ptextboxName->value(), "Nobody");
}

// Each edit through a window, or what must not be one, as it marks the current layer: how far its
// look and colour revisions move, whether it moved, and whether the layer list's thumbnail of it
// is drawn again.
struct window_edit
{
   const char * m_pszWhat;
   function<void()> m_run;
   unsigned long long m_iLookMarks;
   unsigned long long m_iColourMarks;
   bool m_bMoved;
};

TEST_F(label_windows, each_edit_marks_the_layer_once_of_its_kind_and_the_layer_lists_thumbnail_follows)
{
   frame();
   LayerPreviewImage * pthumbnail = m_pscreen->right_panel()->layer_list()->scroll_list()->get_contained_item(0)->m_ppreview;
   ASSERT_EQ(pthumbnail->layer(), m_player);
   image::image target(200, 200);
   zel2d::context context(&target);
   pthumbnail->draw(&context);
   const auto shows = [pthumbnail](color::color colour)
   {
      const image::image & picture = *pthumbnail->cached_image();
      const std::uint32_t * pdata = picture.data();
      return std::find(pdata, pdata + picture.width() * picture.height(), colour.argb()) != pdata + picture.width() * picture.height();
   };
   const color::color picked(9, 90, 200, 255);
   zelui::ColorPicker * ppicker = window<SettingsBoxesColors>()->color_picker_pair(0).first;
   SettingsBoxes & boxes = *window<SettingsBoxes>();
   const window_edit edits[] = {
      {"a box colour", [&] { ppicker->pick(picked.get_hls()); }, 1, 1, false},
      {"the same box colour again", [&] { ppicker->pick(picked.get_hls()); }, 0, 0, false},
      {"the columns", [&] { type(boxes.m_ptextboxColumns, "11"); }, 1, 0, false},
      {"the layer's name", [&] { type(labels().m_ptextboxName, "Wall"); }, 1, 0, false},
      {"two keys of one switch", [&] { click(boxes.m_pcheckboxNamesReverse); }, 1, 0, false},
      {"the windows filled again", [&] { m_pscreen->reload_all(true); }, 0, 0, false},
      {"the offset", [&] { type(boxes.m_ptextboxOffsetX, "40"); }, 0, 0, true},
   };
   for (const window_edit & edit : edits)
   {
      SCOPED_TRACE(edit.m_pszWhat);
      const unsigned long long iLook = m_player->look_revision();
      const unsigned long long iColours = m_player->colours_revision();
      clear_marks();
      edit.m_run();
      EXPECT_EQ(m_player->look_revision() - iLook, edit.m_iLookMarks);
      EXPECT_EQ(m_player->colours_revision() - iColours, edit.m_iColourMarks);
      EXPECT_EQ(m_player->has_moved(), edit.m_bMoved);
      const bool bMarked = edit.m_iLookMarks > 0 || edit.m_bMoved;
      EXPECT_EQ(m_player->has_changed(), bMarked);
      EXPECT_EQ(changed(), bMarked);
      EXPECT_EQ(pthumbnail->is_stale(), edit.m_iLookMarks > 0);
      pthumbnail->draw(&context);
      EXPECT_FALSE(pthumbnail->is_stale());
   }
   EXPECT_TRUE(shows(picked));
}

TEST_F(label_windows, the_about_window_shows_the_version_and_folders_and_ignores_refreshes)
{
   About * pabout = m_pscreen->get_about_window();
   ASSERT_TRUE(pabout);
   EXPECT_FALSE(pabout->visible());
   std::vector<string_base> lines;
   for (const pointer<zelui::Widget> & pchild : pabout->children())
   {
      if (auto * plabel = dynamic_cast<zelui::Label *>(pchild.get()))
      {
         lines.push_back(plabel->caption());
      }
   }
   ASSERT_EQ(lines.size(), 5u);
   EXPECT_EQ(lines[0], "Version " + platform::context::node()->application_version());
   EXPECT_EQ(lines[2], "User Dir: " + dir::home().as_string());
   EXPECT_EQ(lines[3], "Data Dir: " + m_pglobal->getFolderToSaveData().as_string());
   m_pscreen->showAbout();
   EXPECT_TRUE(pabout->visible());
}

TEST_F(label_windows, the_about_windows_close_button_hides_it_at_the_first_press)
{
   About * pabout = m_pscreen->get_about_window();
   m_pscreen->showAbout();
   std::vector<zelui::Button *> buttons = widgets_in<zelui::Button>(pabout->button_panel());
   ASSERT_EQ(buttons.size(), 1u);
   press(buttons.front());
   EXPECT_FALSE(pabout->visible());
   m_pscreen->showAbout();
   EXPECT_TRUE(pabout->visible());
}

TEST(W_Image, the_preferred_size_is_the_template_size_whatever_the_context)
{
   W_Image<456, 256> logo(nullptr, nullptr, "matter://res/logo.png");
   W_Image<24, 24> names(nullptr, nullptr, "matter://res/d.png");
   EXPECT_EQ(logo.preferred_size(nullptr), (size_type<int>{456, 256}));
   EXPECT_EQ(names.preferred_size(nullptr), (size_type<int>{24, 24}));
   EXPECT_EQ(logo.image().handle(), -1);
}

TEST(W_Image, the_picture_loads_once_at_the_first_draw_and_fills_the_widget_stretched)
{
   pointer<image::image> pimage = make_pointer<image::image>(100, 100);
   zel2d::context context(pimage.get());
   W_Image<25, 25> first(nullptr, nullptr, "matter://res/logo.png");
   W_Image<25, 25> second(nullptr, nullptr, "matter://res/logo.png");
   first.set_position({0, 0});
   first.set_size({100, 100});
   first.draw(&context);
   second.draw(&context);
   const int iHandle = first.image().handle();
   EXPECT_GE(iHandle, 1);
   EXPECT_NE(second.image().handle(), iHandle);
   first.draw(&context);
   EXPECT_EQ(first.image().handle(), iHandle);
   // The logo's dark ground reaches the corner of the enlarged picture.
   EXPECT_NE(pimage->pixel(2, 2), 0u);
}

TEST(W_Image, a_missing_picture_is_tried_again_at_each_draw_without_failing)
{
   pointer<image::image> pimage = make_pointer<image::image>(30, 30);
   zel2d::context context(pimage.get());
   W_Image<25, 25> missing(nullptr, nullptr, "matter://res/none.png");
   missing.set_size({25, 25});
   missing.draw(&context);
   missing.draw(&context);
   EXPECT_LT(missing.image().handle(), 1);
}

} // namespace
