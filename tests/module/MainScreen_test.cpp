// The root screen without a window: the tool-window layout file, the modifier keys, the focus
// order of the tool-window fields and the quit question.

#include <gtest/gtest.h>

#include <filesystem>

#include "core/Global.h"
#include "document/project.h"
#include "orvo/file_system.h"
#include "panels/SettingsFromLayer.h"
#include "root_screen_fixture.h"
#include "screen/MainScreen.h"
#include "screen_dialogs.h"
#include "toolwindows/About.h"
#include "toolwindows/SettingsBaseWindow.h"
#include "zelui/FileDialog.h"
#include "zelui/MessageDialog.h"
#include "zelui/TextBox.h"
#include "zelui/Window.h"
#include "zelui/file_dialog.h"
#include "zelui/interaction.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

// A tool window with no controls of its own.
class test_tool_window : public SettingsBaseWindow
{
public:
   test_tool_window(zelui::Widget * pparent, Global * pglobal) : SettingsBaseWindow(pparent, pglobal, "Tool") {}

   void get_settings_from_layer(const pointer<boxes_layer> &) override {}
};

// A window that shows the current screen layer without being a tool window.
class layer_window : public zelui::Window, public SettingsFromLayer
{
public:
   layer_window(zelui::Widget * pparent, Global * pglobal) : zelui::Window(pparent, "Layer"), SettingsFromLayer(pglobal) {}

   void get_settings_from_layer(const pointer<boxes_layer> &) override {}
};

class root_screen : public root_screen_fixture
{
protected:
   file::path layout_path() const { return m_pscreen->settings_layout_get_default_path(); }

   zelui::MessageDialog * dialog_titled(const char * pszTitle) { return dialog_on<zelui::MessageDialog>(*m_pscreen, pszTitle); }
};

// Two tool windows of two and one fields, registered in that order.
class focus_order : public root_screen
{
protected:
   void SetUp() override
   {
      root_screen::SetUp();
      m_pwindowA = new test_tool_window(m_pscreen.get(), m_pglobal);
      m_ptextA1 = new zelui::TextBox(m_pwindowA, "a1");
      m_ptextA2 = new zelui::TextBox(m_pwindowA, "a2");
      m_pwindowB = new test_tool_window(m_pscreen.get(), m_pglobal);
      m_ptextB1 = new zelui::TextBox(m_pwindowB, "b1");
      m_pwindowA->add_children_to_tab_order<>(m_pwindowA->children());
      m_pwindowB->add_children_to_tab_order<>(m_pwindowB->children());
   }

   zelui::Widget * focused() const { return m_pscreen->focused_widget(); }

   bool skip(bool bBackwards = false)
   {
      return m_pglobal->on_skip_focus(enumeration<user::enum_key>(bBackwards ? user::e_key_left_shift : user::e_key_none));
   }

   test_tool_window * m_pwindowA = nullptr;
   test_tool_window * m_pwindowB = nullptr;
   zelui::TextBox * m_ptextA1 = nullptr;
   zelui::TextBox * m_ptextA2 = nullptr;
   zelui::TextBox * m_ptextB1 = nullptr;
};

} // namespace

TEST_F(root_screen, first_run_writes_the_reset_layout_with_18_keys)
{
   m_pscreen->create_main_screen();
   EXPECT_EQ(m_pscreen->current_layout(), tool_window_layout::reset_layout());
   property_set set;
   ASSERT_TRUE(set.parse_ini(file::read_all(layout_path()).value_or("")));
   EXPECT_EQ(set.count(), 18);
   EXPECT_EQ(set.get_int("raster_x"), 875);
   EXPECT_EQ(set.get_int("raster_y"), 665);
   EXPECT_TRUE(set.get_bool("snake_visible"));
   // The presets are loaded with the screen.
   EXPECT_EQ(m_pglobal->get_presets_count(), 9);
}

TEST_F(root_screen, moving_a_tool_window_saves_the_layout_and_moving_the_about_window_does_not)
{
   m_pscreen->create_main_screen();
   m_pscreen->resize_event({1280, 800});
   m_pscreen->run_layout_hooks(nullptr);
   m_pscreen->perform_layout(nullptr);
   // Drags one window alone on the screen by its title bar.
   const auto drag_alone = [&](SettingsBaseWindow * pwindow)
   {
      for (SettingsBaseWindow * pother : m_pscreen->tool_windows())
      {
         pother->set_visible(pother == pwindow);
      }
      const point_type<int> point = pwindow->absolute_position() + point_type<int>{20, 5};
      const enumeration<user::enum_key> eleft(user::e_key_left_button);
      m_pscreen->on_window_mouse_motion(point, {});
      m_pscreen->on_window_mouse_button(point, user::e_mouse_left_button, true, false, eleft);
      m_pscreen->on_window_mouse_motion(point + point_type<int>{40, 30}, eleft);
      m_pscreen->on_window_mouse_button(point + point_type<int>{40, 30}, user::e_mouse_left_button, false, false, {});
   };
   ASSERT_TRUE(std::filesystem::remove(std::filesystem::path(layout_path())));
   About * pabout = m_pscreen->get_about_window();
   drag_alone(pabout);
   EXPECT_EQ(pabout->position(), (point_type<int>{340, 330}));
   EXPECT_FALSE(file::exists(layout_path()));

   SettingsBaseWindow * pscreeninfo = m_pscreen->tool_windows()[1];
   const point_type<int> pointMoved = pscreeninfo->position() + point_type<int>{40, 30};
   drag_alone(pscreeninfo);
   EXPECT_EQ(pscreeninfo->position(), pointMoved);
   const tool_window_layout saved = tool_window_layout::from_text(file::read_all(layout_path()).value_or(""));
   EXPECT_EQ(saved.m_entries[tool_window_layout::e_window_boxes].m_point, pointMoved);
}

TEST_F(root_screen, a_layout_file_with_one_key_puts_every_window_at_the_origin)
{
   ASSERT_TRUE(file::write_all(layout_path(), "boxes_visible=0\n"));
   m_pscreen->create_main_screen();
   for (const tool_window_layout::entry & entry : m_pscreen->current_layout().m_entries)
   {
      EXPECT_EQ(entry.m_point, (point_type<int>{0, 0}));
      EXPECT_FALSE(entry.m_bVisible);
   }
}

TEST_F(root_screen, a_layout_in_network_payload_form_is_read_and_saved_back_as_ini)
{
   m_pscreen->create_main_screen();
   ASSERT_TRUE(file::write_all(layout_path(), "  {\"labels_x\": 33, \"labels_y\": 44, \"labels_visible\": true}\n"));
   EXPECT_TRUE(m_pscreen->settings_load_layout(layout_path().c_str()));
   const tool_window_layout::entry labels = m_pscreen->current_layout().m_entries[tool_window_layout::e_window_labels];
   EXPECT_EQ(labels.m_point, (point_type<int>{33, 44}));
   EXPECT_TRUE(labels.m_bVisible);
   m_pscreen->settings_save_layout();
   const string_base strText = file::read_all(layout_path()).value_or("");
   EXPECT_EQ(strText.find('{'), string_base::npos);
   EXPECT_NE(strText.find("labels_x=33"), string_base::npos);
}

TEST_F(root_screen, an_empty_layout_file_reads_as_missing)
{
   ASSERT_TRUE(file::write_all(layout_path(), " \n\t"));
   EXPECT_FALSE(m_pscreen->settings_load_layout(layout_path().c_str()));
}

TEST_F(root_screen, modifier_keys_set_and_clear_their_whole_group)
{
   using namespace keyboard;
   EXPECT_TRUE(key(user::e_key_left_shift, user::e_key_action_press));
   EXPECT_EQ(m_pglobal->get_keyboard_modifiers().value(), e_group_shift);
   // Super belongs to the Control group.
   EXPECT_TRUE(key(user::e_key_super, user::e_key_action_press));
   EXPECT_EQ(m_pglobal->get_keyboard_modifiers().value(), e_group_shift | e_group_control);
   EXPECT_TRUE(key(user::e_key_right_shift, user::e_key_action_release));
   EXPECT_EQ(m_pglobal->get_keyboard_modifiers().value(), e_group_control);
   EXPECT_TRUE(key(user::e_key_right_alt, user::e_key_action_repeat));
   EXPECT_EQ(m_pglobal->get_keyboard_modifiers().value(), e_group_control | e_group_alt);
}

TEST_F(root_screen, answering_no_to_the_quit_question_leaves_everything_as_it_was)
{
   m_pscreen->on_close();
   zelui::MessageDialog * pdialog = dialog_titled("Quit");
   ASSERT_NE(pdialog, nullptr);
   EXPECT_EQ(pdialog->message(), "Are you sure ?");
   pdialog->answer(1);
   EXPECT_EQ(dialog_titled("Quit"), nullptr);
   EXPECT_EQ(m_pglobal->current_project()->get_layers_count(), 1);
}

TEST_F(root_screen, a_second_close_request_while_the_quit_question_is_open_asks_nothing_more)
{
   m_pscreen->on_close();
   m_pscreen->on_close();
   const std::vector<zelui::MessageDialog *> questions = dialogs_on<zelui::MessageDialog>(*m_pscreen, "Quit");
   ASSERT_EQ(questions.size(), 1u);
   questions.front()->answer(1);
   // Answered, the question is asked again at the next close request.
   m_pscreen->on_close();
   EXPECT_EQ(dialogs_on<zelui::MessageDialog>(*m_pscreen, "Quit").size(), 1u);
}

TEST_F(root_screen, an_error_shows_a_box_titled_error_even_for_an_empty_text)
{
   m_pglobal->show_error("");
   zelui::MessageDialog * pdialog = dialog_titled("Error");
   ASSERT_NE(pdialog, nullptr);
   EXPECT_EQ(pdialog->message(), "");
   pdialog->answer(0);
   EXPECT_EQ(dialog_titled("Error"), nullptr);
}

TEST_F(root_screen, reload_all_without_update_changes_nothing)
{
   m_pscreen->reload_all(false);
   EXPECT_FALSE(m_pscreen->has_layout_hook());
   m_pscreen->reload_all(true);
   EXPECT_TRUE(m_pscreen->has_layout_hook());
}

TEST_F(focus_order, the_first_skip_focuses_the_first_field_or_with_shift_the_last)
{
   EXPECT_EQ(m_pglobal->tab_order().size(), 3u);
   EXPECT_FALSE(skip());
   EXPECT_EQ(focused(), m_ptextA1);
   m_pscreen->on_child_set_focus(nullptr);
   EXPECT_FALSE(skip(true));
   EXPECT_EQ(focused(), m_ptextB1);
}

TEST_F(focus_order, skipping_wraps_around_and_passes_over_hidden_windows)
{
   skip();
   EXPECT_TRUE(skip());
   EXPECT_EQ(focused(), m_ptextA2);
   EXPECT_TRUE(skip());
   EXPECT_EQ(focused(), m_ptextB1);
   EXPECT_TRUE(skip());
   EXPECT_EQ(focused(), m_ptextA1);
   m_pwindowB->set_visible(false);
   skip();
   EXPECT_TRUE(skip());
   EXPECT_EQ(focused(), m_ptextA1);
   EXPECT_TRUE(skip(true));
   EXPECT_EQ(focused(), m_ptextA2);
}

TEST_F(focus_order, a_field_alone_on_show_keeps_the_focus)
{
   m_ptextA2->set_visible(false);
   m_pwindowB->set_visible(false);
   skip();
   EXPECT_TRUE(skip());
   EXPECT_EQ(focused(), m_ptextA1);
}

TEST_F(focus_order, a_field_registered_twice_is_visited_at_both_places)
{
   m_pglobal->add_to_tab_order(m_ptextA1);
   skip();
   skip();
   EXPECT_TRUE(skip());
   EXPECT_EQ(focused(), m_ptextB1);
   EXPECT_TRUE(skip());
   EXPECT_EQ(focused(), m_ptextA1);
   // The walk goes on from the field's first place.
   EXPECT_TRUE(skip());
   EXPECT_EQ(focused(), m_ptextA2);
}

TEST_F(focus_order, the_focused_fields_text_comes_back_after_the_current_layer_changed)
{
   string_base strCommitted;
   m_ptextA1->set_callback([&](scoped_string_base str)
   {
      strCommitted = str;
      return true;
   });
   m_pscreen->set_focus_to(m_ptextA1);
   m_ptextA1->set_value("typed", action_context(e_source_sync));
   m_pscreen->setCurrentLayerTo(0, true);
   ASSERT_TRUE(m_pscreen->take_focus_restore());
   m_pscreen->reapply_settings_base_widget_previous_value();
   EXPECT_EQ(m_ptextA1->value(), "a1");
   EXPECT_EQ(strCommitted, "a1");
   EXPECT_FALSE(m_pscreen->take_focus_restore());
}

TEST_F(focus_order, fields_find_the_window_that_decides_their_visibility)
{
   EXPECT_EQ(findParent(m_ptextA1), m_pwindowA);
   EXPECT_EQ(findParent(nullptr), nullptr);
   EXPECT_EQ(findParent(m_pscreen.get()), nullptr);
   EXPECT_TRUE(is_settings_base_widget(m_ptextA1));
   EXPECT_FALSE(is_settings_base_widget(m_pwindowA));
}

TEST_F(focus_order, a_field_of_a_window_that_is_no_tool_window_is_not_remembered)
{
   auto * pwindow = new layer_window(m_pscreen.get(), m_pglobal);
   auto * ptext = new zelui::TextBox(pwindow, "other");
   EXPECT_FALSE(is_settings_base_widget(ptext));
   m_pscreen->set_focus_to(ptext);
   ptext->set_value("typed", e_source_sync);
   m_pscreen->reapply_settings_base_widget_previous_value();
   EXPECT_EQ(ptext->value(), "typed");
}

using windowed_screen = windowed_root_screen_fixture;

TEST_F(windowed_screen, answering_yes_to_the_quit_question_posts_the_quit_message)
{
   m_pscreen->on_close();
   EXPECT_TRUE(m_pwindow->m_messages.empty());
   if (auto * pdialog = dialog_on<zelui::MessageDialog>(*m_pscreen))
   {
      pdialog->answer(0);
   }
   EXPECT_EQ(m_pwindow->m_messages, (std::vector<long long>{34212}));
}

TEST_F(windowed_screen, a_file_dialog_asked_for_again_before_it_is_answered_opens_once)
{
   m_pglobal->open_project_button();
   m_pglobal->open_project_button();
   m_pglobal->save_image_button();
   EXPECT_EQ(dialogs_on<zelui::FileDialog>(*m_pscreen).size(), 1u);
   EXPECT_TRUE(answer_next_dialog(*m_pscreen, {}));
   EXPECT_TRUE(dialogs_on<zelui::FileDialog>(*m_pscreen).empty());
   // Answered, the next one opens.
   m_pglobal->save_project_button();
   pointer<file::file_dialog> pdialog = answer_next_dialog(*m_pscreen, {});
   ASSERT_TRUE(pdialog);
   EXPECT_EQ(pdialog->kind(), file::file_dialog::e_kind_save);
}

TEST_F(windowed_screen, the_save_presets_dialog_writes_the_presets_under_the_name_with_its_extension)
{
   m_pglobal->clone_current_layer_to_preset();
   m_pglobal->save_presets_button();
   pointer<file::file_dialog> pdialog = answer_next_dialog(*m_pscreen, m_pglobal->getFolderToSaveData() / "wall");
   ASSERT_TRUE(pdialog);
   EXPECT_EQ(pdialog->kind(), file::file_dialog::e_kind_save);
   ASSERT_EQ(pdialog->filter().items().size(), 1u);
   EXPECT_EQ(pdialog->filter().items()[0].m_strPattern, "*.tvsx_presets");
   EXPECT_TRUE(file::exists(m_pglobal->getFolderToSaveData() / "wall.tvsx_presets"));
}

TEST_F(windowed_screen, a_cancelled_open_project_dialog_keeps_the_document)
{
   project * pproject = m_pglobal->current_project();
   m_pglobal->open_project_button();
   ASSERT_TRUE(answer_next_dialog(*m_pscreen, file::path()));
   EXPECT_EQ(m_pglobal->current_project(), pproject);
}
