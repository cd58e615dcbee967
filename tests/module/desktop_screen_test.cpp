// The root screen as a desktop user meets it: tool windows and lists that follow what a load or an
// added layer made of the document, the wheel over the side panel, the About window and its web
// links, and a quiet standard error.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "core/Global.h"
#include "document/boxes_layer.h"
#include "document/image_layer.h"
#include "document/project.h"
#include "orvo/file_system.h"
#include "orvo/image_service.h"
#include "panels/AddLayerContextMenu.h"
#include "panels/LayerList.h"
#include "panels/RightPanel.h"
#include "panels/ScrollList.h"
#include "panels/TopMenu.h"
#include "panels/TopMenuMain.h"
#include "panels/TopMenuSubmenu.h"
#include "panels/TopPanel.h"
#include "panels/WidgetWithBackground.h"
#include "root_screen_fixture.h"
#include "screen/MainImpact.h"
#include "screen/MainScreen.h"
#include "screen_dialogs.h"
#include "toolwindows/About.h"
#include "toolwindows/SettingsBoxes.h"
#include "toolwindows/SettingsPower.h"
#include "zel2d/context.h"
#include "zelui/Label.h"
#include "zelui/MessageDialog.h"
#include "zelui/TextBox.h"
#include "zelui/Theme.h"
#include "zelui/file_dialog.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

// The whole root screen, 1280 x 800, in a window that records what is asked of it; file dialogs
// are answered by the test.
class desktop_screen : public windowed_root_screen_fixture
{
protected:
   void SetUp() override
   {
      windowed_root_screen_fixture::SetUp();
      m_pscreen->create_main_screen();
      m_pscreen->resize_event({1280, 800});
      m_pscreen->setCurrentLayerTo(0, true);
      frame();
   }

   void click(zelui::Widget * pwidget)
   {
      drag(pwidget->absolute_position() + point_type<int>{pwidget->width() / 2, pwidget->height() / 2}, {0, 0});
   }

   // A press at a point of the screen, a move by `motion` with the button held, the release.
   void drag(const point_type<int> & point, const point_type<int> & motion)
   {
      const enumeration<user::enum_key> eleft(user::e_key_left_button);
      m_pscreen->on_window_mouse_motion(point, {});
      m_pscreen->on_window_mouse_button(point, user::e_mouse_left_button, true, false, eleft);
      if (motion != point_type<int>{0, 0})
      {
         m_pscreen->on_window_mouse_motion(point + motion, eleft);
      }
      m_pscreen->on_window_mouse_button(point + motion, user::e_mouse_left_button, false, false, {});
   }

   // Whether every point of the menu strip and the tool bar reaches them rather than a tool window.
   bool menu_and_tool_bar_reachable() const
   {
      for (int y = 2; y < 60; y += 6)
      {
         for (int x = 2; x < m_pscreen->width(); x += 6)
         {
            zelui::Widget * pwidget = m_pscreen->find_widget({x, y});
            if (!m_pscreen->top_menu()->is_ancestor_of(pwidget) && !m_pscreen->top_panel()->is_ancestor_of(pwidget))
            {
               ADD_FAILURE() << "a press at " << x << ", " << y << " misses the menu strip and the tool bar";
               return false;
            }
         }
      }
      return true;
   }

   // Chooses a row of the add-layer menu, opened as the "+" button opens it.
   void add_layer_from_menu(int iRow)
   {
      m_pscreen->showAddLayerContextMenu();
      frame();
      click(m_pscreen->add_layer_menu()->child_at(iRow));
   }

   file::path picture_file() const
   {
      image::image picture(30, 20);
      picture.fill(color::color(32, 64, 128));
      const file::path path = m_pglobal->getFolderToSaveData() / "picture.png";
      EXPECT_TRUE(image::save_image(picture, path, {}));
      return path;
   }

   void run_menu_item(long long iSection, const char * pszCaption)
   {
      TopMenu * pmenu = m_pscreen->top_menu();
      pmenu->createSubmenu(iSection);
      for (WidgetWithBackground * pitem : pmenu->submenu(iSection)->items())
      {
         if (pitem->getMenuName() == pszCaption)
         {
            testing::internal::CaptureStdout();
            pitem->exec();
            testing::internal::GetCapturedStdout();
            return;
         }
      }
      FAIL() << "no menu item " << pszCaption;
   }

   long long layer_rows() const { return m_pscreen->right_panel()->layer_list()->scroll_list()->child_count(); }
   string_base counts() const { return m_pscreen->top_panel()->counts_label()->caption(); }
   string_base expected_counts() const
   {
      return format("Layers Added: %lld, Presets Loaded: %lld", document().get_layers_count(), m_pglobal->get_presets_count());
   }

   zelui::MessageDialog * error_box() const { return dialog_on<zelui::MessageDialog>(*m_pscreen, "Error"); }

};

} // namespace

TEST_F(desktop_screen, an_opened_project_whose_first_layer_is_a_picture_hides_the_tool_windows)
{
   SettingsBoxes * pscreeninfo = m_pscreen->get_screen_info_window();
   SettingsPower * ppower = m_pscreen->get_power_window();
   ASSERT_TRUE(pscreeninfo->visible());
   ASSERT_TRUE(ppower->visible());

   // A project of a picture under a screen layer of 13 columns.
   pointer<image_layer> ppicture = document().new_image_layer();
   ppicture->set_image(image::load_image(picture_file()).value());
   document().get_layers()[1].cast<boxes_layer>()->Columns = 13;
   const file::path pathProject = m_pglobal->getFolderToSaveData() / "picture_first.tvsx";
   m_pglobal->projects().save_to_file(pathProject);
   m_pglobal->load_default_layers();
   m_pscreen->setCurrentLayerTo(0, true);

   m_pglobal->open_project_button();
   answer_next_dialog(*m_pscreen, pathProject);
   frame();
   ASSERT_EQ(document().get_layers_count(), 2);
   ASSERT_EQ(document().current_layer()->get_layer_type(), e_layer_image);
   EXPECT_FALSE(pscreeninfo->visible());
   EXPECT_FALSE(ppower->visible());
   EXPECT_TRUE(pscreeninfo->stored_visibility());

   // The screen layer, once current, shows the windows again with its own values.
   m_pscreen->setCurrentLayerTo(1, true);
   EXPECT_TRUE(pscreeninfo->visible());
   EXPECT_EQ(pscreeninfo->m_ptextboxColumns->value(), "13");
}

TEST_F(desktop_screen, a_new_document_shows_the_tool_windows_that_a_picture_layer_had_hidden)
{
   document().new_image_layer();
   m_pscreen->setCurrentLayerTo(0, true);
   ASSERT_FALSE(m_pscreen->get_screen_info_window()->visible());
   run_menu_item(0, "New");
   EXPECT_EQ(document().current_layer()->get_layer_type(), e_layer_boxes);
   EXPECT_TRUE(m_pscreen->get_screen_info_window()->visible());
}

TEST_F(desktop_screen, a_screen_layer_from_the_plus_menu_is_in_the_list_and_the_counts_at_the_next_frame)
{
   ASSERT_EQ(layer_rows(), 1);
   add_layer_from_menu(AddLayerContextMenu::e_row_screen);
   frame();
   EXPECT_EQ(document().get_layers_count(), 2);
   EXPECT_EQ(layer_rows(), 2);
   EXPECT_EQ(counts(), expected_counts());
   EXPECT_FALSE(m_pscreen->add_layer_menu()->visible());
}

TEST_F(desktop_screen, a_picture_layer_from_the_plus_menu_is_listed_once_its_dialog_completes)
{
   const file::path pathPicture = picture_file();
   add_layer_from_menu(AddLayerContextMenu::e_row_image);
   EXPECT_EQ(document().get_layers_count(), 1);
   answer_next_dialog(*m_pscreen, pathPicture);
   frame();
   ASSERT_EQ(document().get_layers_count(), 2);
   EXPECT_EQ(layer_rows(), 2);
   EXPECT_EQ(counts(), expected_counts());
   // The picture, inserted at the bottom, took the current place: the tool windows step aside.
   EXPECT_EQ(document().current_layer()->get_layer_type(), e_layer_image);
   EXPECT_FALSE(m_pscreen->get_screen_info_window()->visible());
}

TEST_F(desktop_screen, a_cancelled_picture_dialog_of_the_plus_menu_adds_no_layer_and_lets_the_next_dialog_open)
{
   add_layer_from_menu(AddLayerContextMenu::e_row_image);
   ASSERT_TRUE(answer_next_dialog(*m_pscreen, {}));
   frame();
   EXPECT_EQ(document().get_layers_count(), 1);
   EXPECT_EQ(layer_rows(), 1);
   EXPECT_TRUE(take_errors_shown(*m_pscreen).empty());
   m_pglobal->open_project_button();
   EXPECT_TRUE(answer_next_dialog(*m_pscreen, {}));
}

TEST_F(desktop_screen, the_wheel_over_a_layer_list_that_cannot_scroll_leaves_the_canvas_zoom)
{
   MainImpact * pcanvas = m_pscreen->canvas();
   const float fZoom = pcanvas->requested_zoom();
   ScrollList * plist = m_pscreen->right_panel()->layer_list()->scroll_list();
   const point_type<int> point = plist->absolute_position() + point_type<int>{20, 20};
   m_pscreen->on_window_scroll(point, {0.0f, -30.0f});
   EXPECT_EQ(pcanvas->requested_zoom(), fZoom);

   // Over the canvas itself the wheel zooms.
   m_pscreen->on_window_scroll({500, 400}, {0.0f, -30.0f});
   EXPECT_NE(pcanvas->requested_zoom(), fZoom);
}

TEST_F(desktop_screen, about_opens_in_front_of_the_tool_windows)
{
   About * pabout = m_pscreen->get_about_window();
   ASSERT_FALSE(pabout->visible());
   m_pscreen->showAbout();
   ASSERT_TRUE(pabout->visible());
   for (SettingsBaseWindow * pwindow : m_pscreen->tool_windows())
   {
      if (pwindow != pabout)
      {
         EXPECT_GT(m_pscreen->child_index(pabout), m_pscreen->child_index(pwindow)) << pwindow->title();
      }
   }
   // Where it lies over "Screen Info", a press reaches it.
   m_pscreen->get_screen_info_window()->set_position(pabout->position());
   EXPECT_TRUE(pabout->is_ancestor_of(m_pscreen->find_widget(pabout->position() + point_type<int>{20, 40})));
}

TEST_F(desktop_screen, tool_windows_stay_below_the_tool_bar_of_a_small_window)
{
   // Dragged up, a tool window stops under the tool bar, and that is its new place.
   SettingsBaseWindow * pscreeninfo = m_pscreen->get_screen_info_window();
   drag(pscreeninfo->absolute_position() + point_type<int>{20, 5}, {0, -200});
   EXPECT_EQ(pscreeninfo->position().y, 60);
   EXPECT_EQ(pscreeninfo->place().y, 60);
   EXPECT_TRUE(menu_and_tool_bar_reachable());

   // A layout that stores every window at the top corner, restored into a window made small.
   tool_window_layout layout = tool_window_layout::reset_layout();
   for (tool_window_layout::entry & entry : layout.m_entries)
   {
      entry.m_point = {0, 0};
   }
   m_pscreen->showAbout();
   m_pscreen->resize_event({400, 300});
   m_pscreen->apply_layout(layout);
   frame();
   EXPECT_TRUE(menu_and_tool_bar_reachable());

   // Pressed, a tool window comes to the front, still under the tool bar.
   click(pscreeninfo);
   EXPECT_TRUE(menu_and_tool_bar_reachable());

   // Every caption of the menu strip opens its drop-down in front of the tool windows.
   TopMenu * pmenu = m_pscreen->top_menu();
   const auto & captions = pmenu->menu_bar()->items();
   for (std::size_t i = 0; i < captions.size(); ++i)
   {
      click(captions[i]);
      frame();
      TopMenuSubmenu * psubmenu = pmenu->submenu(static_cast<long long>(i));
      ASSERT_TRUE(psubmenu && psubmenu->visible()) << captions[i]->getMenuName();
      EXPECT_TRUE(psubmenu->is_ancestor_of(m_pscreen->find_widget(psubmenu->absolute_position() + point_type<int>{10, 10})))
         << captions[i]->getMenuName();
      pmenu->fold();
   }

   // A window hidden while the main window shrank shows below the tool bar at once.
   m_pscreen->showPowerTools();
   m_pscreen->resize_event({400, 200});
   frame();
   m_pscreen->showPowerTools();
   EXPECT_EQ(m_pscreen->get_power_window()->position().y, 60);

   // The stored places stay, and the windows go back to them as far as the tool bar allows.
   m_pscreen->resize_event({1280, 800});
   frame();
   EXPECT_EQ(m_pscreen->current_layout().m_entries[tool_window_layout::e_window_power].m_point, (point_type<int>{0, 0}));
   EXPECT_EQ(m_pscreen->get_power_window()->position(), (point_type<int>{0, 60}));
}

TEST_F(desktop_screen, tool_windows_under_the_side_panel_or_beyond_the_edges_come_back_within_reach)
{
   // Whether the window's title bar can be taken hold of: below the tool bar, inside the screen,
   // and with a good part of it beside the side panel (other tool windows may lie over it, and a
   // press brings it in front).
   const auto reachable = [&](SettingsBaseWindow * pwindow)
   {
      const int iShown = std::min(pwindow->x() + pwindow->width(), m_pscreen->right_panel()->x()) - std::max(pwindow->x(), 0);
      return pwindow->visible() && iShown >= std::min(pwindow->width(), 100) && pwindow->y() >= 60 &&
             pwindow->y() + 24 <= m_pscreen->height();
   };
   // Stored under the side panel and beyond the window's edges, at start.
   tool_window_layout layout = tool_window_layout::reset_layout();
   layout.m_entries[tool_window_layout::e_window_boxes].m_point = {1200, 100};
   layout.m_entries[tool_window_layout::e_window_power].m_point = {5000, 5000};
   layout.m_entries[tool_window_layout::e_window_labels].m_point = {-300, 200};
   m_pscreen->apply_layout(layout);
   frame();
   for (SettingsBaseWindow * pwindow : m_pscreen->tool_windows())
   {
      if (pwindow != m_pscreen->get_about_window())
      {
         EXPECT_TRUE(reachable(pwindow)) << pwindow->title();
         EXPECT_LE(pwindow->x() + pwindow->width(), m_pscreen->right_panel()->x()) << pwindow->title();
      }
   }
   // Dragged under the side panel, "Screen Info" stops beside it, and that place is kept.
   SettingsBaseWindow * pscreeninfo = m_pscreen->get_screen_info_window();
   pscreeninfo->set_position({10, 70});
   drag(pscreeninfo->absolute_position() + point_type<int>{20, 5}, {2000, 0});
   EXPECT_EQ(pscreeninfo->x() + pscreeninfo->width(), m_pscreen->right_panel()->x());
   EXPECT_EQ(m_pscreen->current_layout().m_entries[tool_window_layout::e_window_boxes].m_point, pscreeninfo->position());
   // The main window shrinks; a window its shortcut shows again comes back within reach too.
   m_pscreen->showScreenInfo();
   m_pscreen->resize_event({700, 500});
   frame();
   m_pscreen->showScreenInfo();
   frame();
   for (SettingsBaseWindow * pwindow : m_pscreen->tool_windows())
   {
      if (pwindow != m_pscreen->get_about_window())
      {
         EXPECT_TRUE(reachable(pwindow)) << pwindow->title();
      }
   }
}

TEST_F(desktop_screen, the_plus_buttons_tooltip_gives_way_to_the_add_layer_menu_it_opens)
{
   // The "+" button stands at the foot of the window, where its tooltip would show above the pointer.
   zelui::Widget * pplus = nullptr;
   const function<void(zelui::Widget *)> find = [&](zelui::Widget * pwidget) {
      pplus = pwidget->tooltip() == "Append completely new layer to top." ? pwidget : pplus;
      for (const pointer<zelui::Widget> & pchild : pwidget->children())
      {
         find(pchild.get());
      }
   };
   find(m_pscreen.get());
   ASSERT_NE(pplus, nullptr);
   const point_type<int> point = pplus->absolute_position() + point_type<int>{pplus->width() / 2, pplus->height() / 2};
   image::image picture(1280, 800);
   const auto tooltip_pixels = [&](const rectangle_type<int> & area) {
      zel2d::context context(&picture);
      m_pscreen->on_window_frame(&context, true);
      int iCount = 0;
      for (int y = std::max(0, area.top); y < std::min(800, area.bottom); ++y)
      {
         for (int x = std::max(0, area.left); x < std::min(1280, area.right); ++x)
         {
            iCount += color::color::from_argb(picture.pixel(x, y)) == m_pscreen->get_theme()->m_colorTooltip;
         }
      }
      return iCount;
   };
   const rectangle_type<int> everywhere{0, 0, 1280, 800};
   m_pscreen->on_window_mouse_motion(point, {});
   ASSERT_GT(tooltip_pixels(everywhere), 0) << "the tooltip shows while the pointer rests on the button";

   click(pplus);
   AddLayerContextMenu * pmenu = m_pscreen->add_layer_menu();
   ASSERT_TRUE(pmenu->visible());
   EXPECT_EQ(tooltip_pixels(everywhere), 0) << "the press that opened the menu hid the tooltip";

   // Over the menu and back on the button, the tooltip shows again, but not over the open menu.
   m_pscreen->on_window_mouse_motion(pmenu->absolute_position() + point_type<int>{10, 10}, {});
   m_pscreen->on_window_mouse_motion(point, {});
   EXPECT_EQ(tooltip_pixels(pmenu->rectangle()), 0);
}

TEST_F(desktop_screen, a_web_link_that_no_browser_can_open_says_so)
{
   const std::string strPath = std::getenv("PATH") ? std::getenv("PATH") : "";
   const std::filesystem::path pathEmpty = std::filesystem::path(m_pglobal->getFolderToSaveData().as_string()) / "no_programs";
   std::filesystem::create_directories(pathEmpty);
   ::setenv("PATH", pathEmpty.c_str(), 1);
   m_pscreen->openHelpLink();
   ::setenv("PATH", strPath.c_str(), 1);
   zelui::MessageDialog * pdialog = error_box();
   ASSERT_NE(pdialog, nullptr);
   EXPECT_NE(pdialog->message().find("cannot be opened: no web browser could be started"), std::string::npos)
      << pdialog->message();
}

TEST_F(desktop_screen, drawing_frames_writes_nothing_on_standard_error)
{
   const char * pszAsked = std::getenv("BRISVANE_TRACE");
   ASSERT_TRUE(!pszAsked || !*pszAsked);
   image::image picture(1280, 800);
   zel2d::context context(&picture);
   testing::internal::CaptureStderr();
   for (int i = 0; i < 3; ++i)
   {
      m_pglobal->set_changed();
      m_pscreen->draw_all(&context);
      m_pscreen->resize_event({1280, 800});
   }
   EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}
