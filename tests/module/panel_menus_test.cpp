// The top menu built from its definition text, the drop-down actions and shortcuts, and the
// add-layer menu, on a root screen without a window.

#include "panel_test_screen.h"

#include "document/image_layer.h"
#include "host/context.h"
#include "host/fake_monitors.h"
#include "host/windowing.h"
#include "orvo/exception.h"
#include "zelui/recording_interaction.h"
#include "thrown_status.h"
#include "panels/AddLayerContextMenu.h"
#include "panels/TopMenu.h"
#include "panels/TopMenuMain.h"
#include "panels/TopMenuSubmenu.h"
#include "panels/WidgetWithBackground.h"
#include "panels/panel_colors.h"
#include "zel2d/context.h"
#include "zelui/Label.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

class top_menu : public panel_test
{
protected:
   void SetUp() override
   {
      panel_test::SetUp();
      m_pmenu = new TopMenu(m_pscreen.get(), m_pglobal);
      m_pmenu->set_size({1280, 20});
      frame();
   }

   TopMenuSubmenu * section(long long i) const { return m_pmenu->submenu(i); }
   WidgetWithBackground * item(long long iSection, const char * pszCaption) const
   {
      for (WidgetWithBackground * pitem : section(iSection)->items())
      {
         if (pitem->getMenuName() == pszCaption)
         {
            return pitem;
         }
      }
      return nullptr;
   }
   // Runs an item as a click does, and returns what it printed.
   string_base run(long long iSection, const char * pszCaption)
   {
      testing::internal::CaptureStdout();
      item(iSection, pszCaption)->exec();
      return testing::internal::GetCapturedStdout();
   }
   boxes_layer & screen_layer() const { return *document().current_boxes_layer(); }

   TopMenu * m_pmenu = nullptr;
};

} // namespace

TEST_F(top_menu, the_definition_text_gives_six_sections_of_their_item_counts)
{
   EXPECT_EQ(m_pmenu->captions(), (string_array_base{"File", "Layers", "View", "Window", "Live Output", "About"}));
   std::vector<std::size_t> counts;
   for (long long i = 0; i < 6; ++i)
   {
      counts.push_back(section(i)->items().size());
      EXPECT_FALSE(section(i)->visible());
   }
   EXPECT_EQ(counts, (std::vector<std::size_t>{6, 5, 16, 7, 1, 4}));
   EXPECT_EQ(section(5)->captions()[3], "Help");
   EXPECT_EQ(item(5, "Help")->tooltip(), "Show help");
   EXPECT_EQ(item(1, "Add Screen Layer")->tooltip(), "Add Screen Layer ");
}

TEST_F(top_menu, items_without_a_shortcut_show_none_and_have_no_access_key)
{
   for (auto [iSection, pszCaption] : {std::pair{1LL, "Set Logo Layer"}, {3LL, "Reset Tools Layout"}, {5LL, "About"}, {5LL, "Help"}})
   {
      WidgetWithBackground * pitem = item(iSection, pszCaption);
      EXPECT_TRUE(pitem->getAccessKey().empty()) << pszCaption;
      EXPECT_EQ(pitem->child_count(), 1) << pszCaption;
   }
   WidgetWithBackground * pnew = item(0, "New");
   EXPECT_EQ(pnew->getAccessKey(), "CONTROL+N");
   ASSERT_EQ(pnew->child_count(), 2);
   EXPECT_EQ(dynamic_cast<zelui::Label *>(pnew->child_at(1))->caption(), " [CONTROL+N]");
}

TEST_F(top_menu, a_click_prints_the_item_id_and_runs_its_action)
{
   long long iLayers = document().get_layers_count();
   EXPECT_EQ(run(1, "Add Screen Layer"), "Submenu clicked, id: 0\n");
   EXPECT_EQ(document().get_layers_count(), iLayers + 1);
   EXPECT_FALSE(section(1)->visible());
}

TEST_F(top_menu, view_switches_flip_the_current_screen_layer)
{
   screen_layer().DrawGrid = 1;
   screen_layer().clear_changed();
   run(2, "Outline");
   EXPECT_EQ(screen_layer().DrawGrid, 0);
   EXPECT_TRUE(screen_layer().has_changed());
   run(2, "Outline");
   EXPECT_EQ(screen_layer().DrawGrid, 1);

   screen_layer().DrawSnake = 7;
   run(2, "Data Path");
   EXPECT_EQ(screen_layer().DrawSnake, 0);

   run(2, "Path Pattern 8");
   EXPECT_EQ(screen_layer().m_descriptionData.m_iMode, 7);
   run(2, "Path Pattern 1");
   EXPECT_EQ(screen_layer().m_descriptionData.m_iMode, 0);

   int iCorners = screen_layer().CornersMode;
   run(2, "XY Offsets Label");
   EXPECT_EQ(screen_layer().CornersMode, iCorners ^ 1);
}

TEST_F(top_menu, view_items_leave_an_image_layer_alone)
{
   pointer<image_layer> pimage = document().new_image_layer();
   ASSERT_TRUE(document().set_current_layer_index(0));
   string_base strBefore = pimage->get_layer_info();
   for (const char * pszCaption : {"Outline", "Centering Circle", "Cabinet ID", "Path Pattern 3", "Background Color"})
   {
      run(2, pszCaption);
   }
   EXPECT_EQ(pimage->get_layer_info(), strBefore);
}

TEST_F(top_menu, shortcuts_run_their_item_whether_its_menu_is_open_or_not)
{
   long long iLayers = document().get_layers_count();
   testing::internal::CaptureStdout();
   EXPECT_TRUE(m_pmenu->keytrigger(keyboard::string_key("CONTROL+D")));
   EXPECT_EQ(testing::internal::GetCapturedStdout(), "Submenu clicked, id: 3\n");
   EXPECT_EQ(document().get_layers_count(), iLayers + 1);

   // Control+S belongs to "Save Project...", Control+Alt+S to "Export PSD...".
   EXPECT_FALSE(m_pmenu->keytrigger(keyboard::string_key("CONTROL+Q")));
   EXPECT_FALSE(m_pmenu->keytrigger(keyboard::string_key("CONTROL+SHIFT+D+X")));
   screen_layer().DrawSnake = 1;
   EXPECT_TRUE(m_pmenu->keytrigger(keyboard::string_key("CONTROL+SHIFT+D")));
   EXPECT_EQ(screen_layer().DrawSnake, 0);
}

TEST_F(top_menu, the_psd_export_answers_control_alt_s_and_save_project_control_s)
{
   auto matches = [&](const char * pszCaption, const char * pszKey)
   {
      return keyboard::is_equivalent_using_modifiers_groups(keyboard::string_key(pszKey),
                                                            keyboard::string_key(item(0, pszCaption)->getAccessKey()));
   };
   EXPECT_TRUE(matches("Export PSD...", "CONTROL+ALT+S"));
   EXPECT_FALSE(matches("Export PSD...", "CONTROL+S"));
   EXPECT_TRUE(matches("Save Project...", "CONTROL+S"));
}

TEST_F(top_menu, a_caption_click_opens_its_menu_and_hovering_switches_only_while_one_is_open)
{
   TopMenuMain * pbar = m_pmenu->menu_bar();
   ASSERT_EQ(pbar->items().size(), 6u);
   EXPECT_EQ(pbar->position().x, 6);

   move_to(centre_of(pbar->items()[1]));
   EXPECT_FALSE(m_pmenu->is_showing_any_submenu());
   EXPECT_EQ(pbar->items()[1]->current_color(), panel_colors::menu_hover);

   click(pbar->items()[0]);
   EXPECT_TRUE(section(0)->visible());
   EXPECT_EQ(section(0)->y(), 20);
   EXPECT_EQ(m_pscreen->children().last().get(), section(0));

   move_to(centre_of(pbar->items()[2]));
   EXPECT_FALSE(section(0)->visible());
   EXPECT_TRUE(section(2)->visible());
   EXPECT_EQ(m_pmenu->find_submenu(pbar->items()[2]), 2);
   EXPECT_EQ(m_pmenu->find_submenu(nullptr), -1);
}

TEST_F(top_menu, an_item_clicked_right_after_its_caption_runs)
{
   TopMenuMain * pbar = m_pmenu->menu_bar();
   for (long long iSection : {1LL, 5LL})
   {
      click(pbar->items()[static_cast<std::size_t>(iSection)]);
      frame();
      ASSERT_TRUE(section(iSection)->visible());
      // Within the double-click time and distance of the press on the caption, as the desktop
      // counts them.
      WidgetWithBackground * pfirst = section(iSection)->items()[0];
      testing::internal::CaptureStdout();
      move_to(centre_of(pfirst));
      press(centre_of(pfirst), true);
      release(centre_of(pfirst));
      EXPECT_EQ(testing::internal::GetCapturedStdout(), "Submenu clicked, id: 0\n") << iSection;
      EXPECT_FALSE(m_pmenu->is_showing_any_submenu());
   }
}

TEST_F(top_menu, a_press_on_the_strip_beside_the_captions_folds_the_open_menu)
{
   m_pmenu->setSubmenu(3);
   frame();
   EXPECT_TRUE(section(3)->visible());
   EXPECT_GT(section(3)->height(), 7 * 10);
   press({1200, 10});
   release({1200, 10});
   EXPECT_FALSE(m_pmenu->is_showing_any_submenu());
}

TEST_F(top_menu, in_a_screen_too_small_a_menu_stays_inside_and_scrolls_to_each_of_its_items)
{
   m_pscreen->set_size({400, 300});
   m_pmenu->set_size({400, 20});
   move_to({390, 10});
   m_pmenu->setSubmenu(2);
   frame();
   TopMenuSubmenu * pview = section(2);
   const rectangle_type<int> rectangleScreen{0, 0, 400, 300};
   EXPECT_EQ(rectangleScreen.intersection(pview->rectangle()), pview->rectangle());
   ASSERT_TRUE(pview->is_scrolling());
   // The wheel brings in the items below, one a notch, until the last shows; the arrow strip at
   // the top goes back one.
   const point_type<int> middle = centre_of(pview);
   const auto scroll_to_the_end = [&]
   {
      for (int i = 0; i < 20; ++i)
      {
         m_pscreen->on_window_scroll(middle, {0.0f, -10.0f});
      }
   };
   move_to(middle);
   WidgetWithBackground * pfirst = item(2, "Background Color");
   const auto item_under_pointer = [&]
   {
      for (WidgetWithBackground * pitem : pview->items())
      {
         if (pitem->absolute_position().y <= middle.y && middle.y < pitem->absolute_position().y + pitem->height())
         {
            return pitem;
         }
      }
      return static_cast<WidgetWithBackground *>(nullptr);
   };
   WidgetWithBackground * phovered = item_under_pointer();
   ASSERT_NE(phovered, nullptr);
   EXPECT_EQ(phovered->current_color(), panel_colors::menu_hover);
   scroll_to_the_end();
   // The highlight follows the items under the still pointer.
   EXPECT_NE(phovered->current_color(), panel_colors::menu_hover);
   EXPECT_EQ(item_under_pointer()->current_color(), panel_colors::menu_hover);
   WidgetWithBackground * plast = item(2, "Path Pattern 8");
   const rectangle_type<int> rectangleLast = rectangle_type<int>::from(plast->absolute_position(), plast->size());
   EXPECT_EQ(pview->rectangle().intersection(rectangleLast), rectangleLast);
   const long long iFirst = pview->first_item_shown();
   EXPECT_GT(iFirst, 0);
   press({middle.x, pview->y() + 2});
   release({middle.x, pview->y() + 2});
   EXPECT_EQ(pview->first_item_shown(), iFirst - 1);
   EXPECT_TRUE(pview->visible());
   // An item scrolled out of the menu takes no press; the last one, scrolled in, runs.
   EXPECT_FALSE(pview->rectangle().contains(centre_of(pfirst)));
   scroll_to_the_end();
   screen_layer().m_descriptionData.m_iMode = 0;
   testing::internal::CaptureStdout();
   click(plast);
   EXPECT_EQ(testing::internal::GetCapturedStdout(), "Submenu clicked, id: 15\n");
   EXPECT_EQ(screen_layer().m_descriptionData.m_iMode, 7);

   // Opened again, it starts at its first item.
   m_pmenu->setSubmenu(2);
   frame();
   EXPECT_EQ(pview->first_item_shown(), 0);
   EXPECT_TRUE(pview->is_ancestor_of(m_pscreen->find_widget(centre_of(item(2, "Background Color")))));
}

TEST_F(top_menu, the_title_shows_only_where_it_is_clear_of_the_captions)
{
   // With the captions hidden, the light pixels of the strip are the title's.
   const auto title_pixels = [&](int iWidth)
   {
      m_pmenu->set_size({iWidth, 20});
      frame();
      m_pmenu->menu_bar()->set_visible(false);
      image::image picture(iWidth, 20);
      zel2d::context context(&picture);
      m_pmenu->draw(&context);
      m_pmenu->menu_bar()->set_visible(true);
      int iTitle = 0;
      for (int y = 0; y < 20; ++y)
      {
         for (int x = 0; x < iWidth; ++x)
         {
            iTitle += ((picture.pixel(x, y) >> 16) & 0xFF) > 0x60 ? 1 : 0;
         }
      }
      return iTitle;
   };
   EXPECT_GT(title_pixels(1280), 50);
   EXPECT_EQ(title_pixels(400), 0);
}

TEST_F(top_menu, live_output_is_offered_on_every_monitor_but_the_main_windows)
{
   EXPECT_EQ(TopMenu::monitors_except(1, 0), std::vector<int>{});
   EXPECT_EQ(TopMenu::monitors_except(3, 1), (std::vector<int>{0, 2}));
   EXPECT_EQ(TopMenu::monitors_except(2, -1), (std::vector<int>{0, 1}));
}

TEST_F(top_menu, an_item_out_of_range_is_an_exception)
{
   EXPECT_EQ(thrown_status([&] { section(4)->clicked_to(1); }), static_cast<std::int32_t>(0x800007D3));
   EXPECT_NO_THROW(section(4)->clicked_to(0));
}

namespace
{

class add_layer_menu : public panel_test
{
protected:
   void SetUp() override
   {
      panel_test::SetUp();
      m_pmenu = new AddLayerContextMenu(m_pscreen.get(), m_pglobal);
      m_pmenu->set_position({100, 100});
      m_pmenu->set_fixed_size({100, 90});
      m_pmenu->set_size({100, 90});
      frame();
   }
   WidgetWithBackground * row(int i) const { return dynamic_cast<WidgetWithBackground *>(m_pmenu->child_at(i)); }

   AddLayerContextMenu * m_pmenu = nullptr;
};

} // namespace

TEST_F(add_layer_menu, cancel_hides_the_menu_and_changes_nothing)
{
   string_base strBefore = document().get_container_text(project::project_magic_v2, "", true);
   click(row(AddLayerContextMenu::e_row_cancel));
   EXPECT_FALSE(m_pmenu->visible());
   EXPECT_EQ(document().get_container_text(project::project_magic_v2, "", true), strBefore);
}

TEST_F(add_layer_menu, each_led_screen_click_adds_a_screen_layer_at_the_bottom)
{
   pointer<app_layer> pfirst = document().get_layer(0);
   click(row(AddLayerContextMenu::e_row_screen));
   EXPECT_FALSE(m_pmenu->visible());
   m_pmenu->set_visible(true);
   click(row(AddLayerContextMenu::e_row_screen));
   ASSERT_EQ(document().get_layer(2), pfirst);
   EXPECT_EQ(document().get_layer(0)->get_layer_type(), 1);
   EXPECT_EQ(document().get_layer(1)->get_layer_type(), 1);
}

TEST_F(add_layer_menu, a_press_and_release_on_different_rows_runs_nothing)
{
   long long iLayers = document().get_layers_count();
   move_to(centre_of(row(0)));
   press(centre_of(row(0)));
   move_to(centre_of(row(3)), true);
   release(centre_of(row(3)));
   EXPECT_TRUE(m_pmenu->visible());
   EXPECT_EQ(document().get_layers_count(), iLayers);
   EXPECT_EQ(row(3)->current_color(), panel_colors::add_layer_hover);
   EXPECT_EQ(row(0)->current_color(), panel_colors::menu);
}

namespace
{

class live_output_menu : public testing::Test
{
protected:
   void SetUp() override
   {
      m_pscreen = make_pointer<MainScreen>(&m_window);
      m_pmenu = new TopMenu(m_pscreen.get(), m_pscreen->get_global());
   }
   void TearDown() override { m_pscreen.reset(); }
   std::vector<string_base> item_captions() const
   {
      std::vector<string_base> captions;
      for (WidgetWithBackground * pitem : m_pmenu->submenu(TopMenu::live_output_section)->items())
      {
         captions.push_back(dynamic_cast<zelui::Label *>(pitem->child_at(0))->caption());
      }
      return captions;
   }

   // Three monitors side by side; the recording window (0, 0, 800, 600) lies on the middle one.
   fake_monitors m_monitors{{{-1920, 0, 0, 1080}, {0, 0, 1920, 1080}, {1920, 0, 3840, 1080}}};
   recording_interaction m_window;
   pointer<MainScreen> m_pscreen;
   TopMenu * m_pmenu = nullptr;
};

} // namespace

TEST_F(live_output_menu, offers_the_other_monitors_once_however_often_it_opens)
{
   EXPECT_EQ(m_pmenu->get_live_output_monitors(), (std::vector<int>{0, 2}));
   m_pmenu->setSubmenu(TopMenu::live_output_section);
   m_pmenu->setSubmenu(TopMenu::live_output_section);
   EXPECT_EQ(item_captions(), (std::vector<string_base>{"No Live Output", "Live Output to Screen 1", "Live Output to Screen 3"}));
   EXPECT_EQ(m_pmenu->submenu(TopMenu::live_output_section)->labels().size(), 2u);
}
