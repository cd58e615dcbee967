// The panels and menus as the root screen makes, places and refreshes them.

#include "panel_test_screen.h"

#include "panels/AddLayerContextMenu.h"
#include "panels/LayerList.h"
#include "panels/ScrollList.h"
#include "panels/RightPanel.h"
#include "panels/TopMenu.h"
#include "panels/TopMenuMain.h"
#include "panels/TopMenuSubmenu.h"
#include "panels/TopPanel.h"
#include "panels/WidgetWithBackground.h"
#include "screen_dialogs.h"
#include "widgets_in.h"
#include "zelui/Button.h"
#include "zelui/Label.h"
#include "zelui/MessageDialog.h"
#include "zelui/TextBox.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

class root_with_panels : public panel_test
{
protected:
   void SetUp() override
   {
      panel_test::SetUp();
      m_pscreen->create_main_screen();
      m_pscreen->resize_event({1280, 800});
      frame();
   }
};

} // namespace

TEST_F(root_with_panels, panels_are_placed_by_the_window_size)
{
   EXPECT_EQ(m_pscreen->top_menu()->rectangle(), (rectangle_type<int>::from({0, 0}, size_type<int>{1280, 20})));
   EXPECT_EQ(m_pscreen->top_panel()->rectangle(), (rectangle_type<int>::from({0, 20}, size_type<int>{1280, 40})));
   EXPECT_EQ(m_pscreen->right_panel()->rectangle(), (rectangle_type<int>::from({1000, 60}, size_type<int>{280, 740})));
   EXPECT_FALSE(m_pscreen->add_layer_menu()->visible());
}

TEST_F(root_with_panels, a_reload_refreshes_counts_sizes_and_the_lists)
{
   m_pscreen->reload_all(true);
   frame();
   EXPECT_EQ(m_pscreen->top_panel()->counts_label()->caption(),
             format("Layers Added: %lld, Presets Loaded: %lld", document().get_layers_count(), m_pglobal->get_presets_count()));
   EXPECT_EQ(m_pscreen->top_panel()->width_box()->value(), "1920");
   EXPECT_EQ(m_pscreen->right_panel()->layer_list()->scroll_list()->child_count(), document().get_layers_count());
}

TEST_F(root_with_panels, a_typed_shortcut_reaches_the_menu)
{
   long long iLayers = document().get_layers_count();
   testing::internal::CaptureStdout();
   m_pscreen->keyboard_event(user::e_key_left_control, 0, user::e_key_action_press, {}, {});
   m_pscreen->keyboard_event(user::e_key_d, 0, user::e_key_action_press,
                             enumeration<user::enum_key>(user::e_key_left_control), {});
   testing::internal::GetCapturedStdout();
   EXPECT_EQ(document().get_layers_count(), iLayers + 1);
}

TEST_F(root_with_panels, a_press_outside_the_open_menu_folds_it_and_is_kept_from_the_widgets)
{
   m_pscreen->top_menu()->setSubmenu(1);
   frame();
   ASSERT_TRUE(m_pscreen->top_menu()->is_showing_any_submenu());
   TopMenuSubmenu * psubmenu = m_pscreen->top_menu()->submenu(1);
   EXPECT_TRUE(m_pscreen->on_mouse_down(psubmenu->child_at(0)));
   EXPECT_FALSE(m_pscreen->on_mouse_down(m_pscreen->right_panel()));
   EXPECT_FALSE(m_pscreen->top_menu()->is_showing_any_submenu());
}

TEST_F(root_with_panels, a_click_on_a_message_box_opened_over_the_open_menu_answers_it_and_folds_the_menu)
{
   m_pscreen->top_menu()->setSubmenu(1);
   frame();
   ASSERT_TRUE(m_pscreen->top_menu()->is_showing_any_submenu());
   m_pglobal->show_error("The web page cannot be opened.");
   frame();
   zelui::MessageDialog * pbox = dialog_on<zelui::MessageDialog>(*m_pscreen, "Error");
   ASSERT_NE(pbox, nullptr);
   click(widgets_in<zelui::Button>(pbox).front());
   EXPECT_EQ(dialog_on<zelui::MessageDialog>(*m_pscreen, "Error"), nullptr);
   EXPECT_FALSE(m_pscreen->top_menu()->is_showing_any_submenu());
}

TEST_F(root_with_panels, clicking_a_caption_keeps_its_open_menu_and_another_caption_switches_to_its_own)
{
   TopMenu * pmenu = m_pscreen->top_menu();
   const auto & captions = pmenu->menu_bar()->items();
   click(captions[1]);
   frame();
   ASSERT_TRUE(pmenu->submenu(1)->visible());
   click(captions[1]);
   frame();
   EXPECT_TRUE(pmenu->submenu(1)->visible());
   click(captions[2]);
   frame();
   EXPECT_FALSE(pmenu->submenu(1)->visible());
   EXPECT_TRUE(pmenu->submenu(2)->visible());
   // Beside the captions the strip folds it.
   click(pmenu);
   EXPECT_FALSE(pmenu->is_showing_any_submenu());
}

TEST_F(root_with_panels, the_plus_button_shows_the_add_layer_menu_above_the_pointer)
{
   m_pscreen->mouse_button_event({1100, 500}, user::e_mouse_left_button, false, false, {});
   m_pscreen->showAddLayerContextMenu();
   AddLayerContextMenu * pmenu = m_pscreen->add_layer_menu();
   EXPECT_TRUE(pmenu->visible());
   EXPECT_EQ(pmenu->position(), (point_type<int>{1100, 410}));
   EXPECT_EQ(pmenu->size(), (size_type<int>{100, 90}));
}
