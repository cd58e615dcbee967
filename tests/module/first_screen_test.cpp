// The first screen at 1920 x 1080 with every tool window shown, as a user meets it: every line of
// text a widget draws fits the room the widget gives it and is not cut off by a window or panel
// around it, and the six tool windows at their reset places leave each other, the tool bar and the
// side panel free.

#include "tool_windows_test.h"

#include <algorithm>

#include "orvo/image.h"
#include "panels/TopMenu.h"
#include "screen/MainImpact.h"
#include "toolwindows/About.h"
#include "toolwindows/SettingsBoxes.h"
#include "toolwindows/SettingsPower.h"
#include "toolwindows/SettingsRasterLabel.h"
#include "zel2d/context.h"
#include "zelui/ComboBox.h"
#include "zelui/FloatBox.h"
#include "zelui/Theme.h"
#include "zelui/VScrollPanel.h"
#include "zelui/Window.h"

namespace Tarvossa_BrisvanePro
{
namespace
{

using rectangle = rectangle_type<float>;

rectangle screen_rectangle(const zelui::Widget * pwidget, const rectangle & local)
{
   point_type<int> origin = pwidget->absolute_position();
   auto fx = static_cast<float>(origin.x), fy = static_cast<float>(origin.y);
   return {fx + local.left, fy + local.top, fx + local.right, fy + local.bottom};
}

rectangle widget_rectangle(const zelui::Widget * pwidget)
{
   return screen_rectangle(pwidget, {0.0f, 0.0f, static_cast<float>(pwidget->width()), static_cast<float>(pwidget->height())});
}

bool encloses(const rectangle & outer, const rectangle & inner)
{
   constexpr float fSlack = 0.01f;
   return inner.left >= outer.left - fSlack && inner.top >= outer.top - fSlack && inner.right <= outer.right + fSlack &&
          inner.bottom <= outer.bottom + fSlack;
}

// Where a widget stands, for a failure message: the titles of the windows around it.
string_base whereabouts(const zelui::Widget * pwidget)
{
   string_base strWhere;
   for (; pwidget; pwidget = pwidget->parent())
   {
      if (auto * pwindow = dynamic_cast<const zelui::Window *>(pwidget); pwindow && pwindow->has_title_bar())
      {
         strWhere += " in \"" + pwindow->title() + "\"";
      }
   }
   return strWhere;
}

class first_screen : public tool_windows_test
{
protected:
   static constexpr int s_iWidth = 1920;
   static constexpr int s_iHeight = 1080;

   void SetUp() override
   {
      tool_windows_test::SetUp();
      m_pimage = make_pointer<image::image>(s_iWidth, s_iHeight);
      m_pcontext = std::make_unique<zel2d::context>(m_pimage.get());
      m_pscreen->resize_event({s_iWidth, s_iHeight});
      frames();
   }

   // Frames as the window runs them: the one-shot steps, the layout, the drawing.
   void frames()
   {
      for (int i = 0; i < 3; ++i)
      {
         m_pscreen->on_window_frame(m_pcontext.get(), true);
      }
   }

   float text_width(const zelui::text_line & line) const
   {
      m_pcontext->save();
      m_pcontext->set_font_face(line.m_strFace);
      m_pcontext->set_font_size(line.m_fFontSize);
      float fWidth = m_pcontext->text_bounds(0.0f, 0.0f, line.m_strText, nullptr);
      m_pcontext->restore();
      return fWidth;
   }

   float line_height(const zelui::text_line & line) const
   {
      m_pcontext->save();
      m_pcontext->set_font_face(line.m_strFace);
      m_pcontext->set_font_size(line.m_fFontSize);
      zel2d::font_metrics metrics = m_pcontext->current_font_metrics();
      m_pcontext->restore();
      return metrics.m_fAscender + metrics.m_fDescender;
   }

   // Every visible widget under `pwidget`, with the part of the screen that its ancestors leave
   // uncut around it. What a scroll panel hides is scrolled away, not cut off: its content counts
   // as uncut.
   void for_each_visible(zelui::Widget * pwidget, const rectangle & clip,
                         const std::function<void(zelui::Widget *, const rectangle &)> & visit) const
   {
      if (!pwidget->visible())
      {
         return;
      }
      visit(pwidget, clip);
      rectangle clipInside = clip.intersection(widget_rectangle(pwidget));
      bool bScrolls = dynamic_cast<zelui::VScrollPanel *>(pwidget) != nullptr;
      for (const pointer<zelui::Widget> & pchild : pwidget->children())
      {
         for_each_visible(pchild.get(), bScrolls ? widget_rectangle(pchild.get()) : clipInside, visit);
      }
   }

   void for_each_visible(const std::function<void(zelui::Widget *, const rectangle &)> & visit) const
   {
      for_each_visible(m_pscreen.get(), widget_rectangle(m_pscreen.get()), visit);
   }

   // Checks every line of text on the screen; returns how many were checked.
   int expect_every_text_fits() const
   {
      int iLines = 0;
      for_each_visible([&](zelui::Widget * pwidget, const rectangle & clip) {
         for (const zelui::text_line & line : pwidget->text_lines())
         {
            ++iLines;
            rectangle room = screen_rectangle(pwidget, line.m_rectangleRoom);
            string_base strWhat = "\"" + line.m_strText + "\"" + whereabouts(pwidget);
            EXPECT_LE(text_width(line), room.width() + 0.01f) << strWhat << " is wider than its room";
            EXPECT_LE(line_height(line), room.height() + 0.01f) << strWhat << " is higher than its room";
            EXPECT_TRUE(encloses(clip, room)) << strWhat << " is cut off by the widgets around it";
         }
      });
      return iLines;
   }

   // Selects in every combo box the item that is widest in the box's own font.
   void choose_the_longest_items()
   {
      std::vector<zelui::ComboBox *> combos;
      for_each_visible([&](zelui::Widget * pwidget, const rectangle &) {
         if (auto * pcombo = dynamic_cast<zelui::ComboBox *>(pwidget))
         {
            combos.push_back(pcombo);
         }
      });
      for (zelui::ComboBox * pcombo : combos)
      {
         zelui::text_line line = pcombo->text_lines().at(0);
         int iLongest = 0;
         float fLongest = 0.0f;
         for (std::size_t i = 0; i < pcombo->items().size(); ++i)
         {
            line.m_strText = pcombo->items()[i];
            if (float fWidth = text_width(line); fWidth > fLongest)
            {
               fLongest = fWidth;
               iLongest = static_cast<int>(i);
            }
         }
         pcombo->set_selected_index(iLongest, e_source_user);
      }
   }

   // How many pixels of a rectangle of the screen, less a margin of 2 for the outline, the last
   // frame drew in another colour than the text boxes' background: the ink of a box's text.
   int text_box_ink(const rectangle & r) const
   {
      const color::color background = m_pscreen->get_theme()->m_colorTextBox;
      int iInk = 0;
      for (int y = static_cast<int>(r.top) + 2; y < static_cast<int>(r.bottom) - 2; ++y)
      {
         for (int x = static_cast<int>(r.left) + 2; x < static_cast<int>(r.right) - 2; ++x)
         {
            iInk += color::color::from_argb(m_pimage->pixel(x, y)) != background ? 1 : 0;
         }
      }
      return iInk;
   }

   pointer<image::image> m_pimage;
   std::unique_ptr<zel2d::context> m_pcontext;
};

} // namespace

TEST_F(first_screen, every_caption_box_value_and_choice_fits_its_widget)
{
   SettingsBoxes * pboxes = m_pscreen->get_screen_info_window();
   type(pboxes->m_pfloatboxRotation, "-90");
   choose_the_longest_items();
   SettingsPower * ppower = m_pscreen->get_power_window();
   ppower->m_pparameters->m_pcomboPhases->set_selected_index(1, e_source_user);
   frames();
   ASSERT_EQ(ppower->m_pparameters->m_pcomboPhases->caption(), "3 Phases");
   ASSERT_EQ(pboxes->m_pfloatboxRotation->value(), -90.0f);
   for (SettingsBaseWindow * pwindow : m_pscreen->tool_windows())
   {
      EXPECT_EQ(pwindow->visible(), pwindow != m_pscreen->get_about_window()) << pwindow->title();
   }
   EXPECT_GT(expect_every_text_fits(), 200);
}

TEST_F(first_screen, a_long_layer_name_widens_its_window_instead_of_being_cut_off)
{
   m_player->set_name("Main LED Wall, Left Side");
   m_pscreen->reload_all(true);
   frames();
   expect_every_text_fits();
}

TEST_F(first_screen, every_menu_item_fits_its_drop_down)
{
   for (long long iSection = 0; m_pscreen->top_menu()->submenu(iSection); ++iSection)
   {
      m_pscreen->top_menu()->setSubmenu(iSection);
      frames();
      expect_every_text_fits();
   }
   m_pscreen->mouse_button_event({1700, 900}, user::e_mouse_left_button, false, false, {});
   m_pscreen->showAddLayerContextMenu();
   m_pscreen->showAbout();
   frames();
   expect_every_text_fits();
}

TEST_F(first_screen, the_tool_windows_at_their_reset_places_leave_each_other_and_the_panels_free)
{
   m_pscreen->settings_reset_layout();
   frames();
   std::vector<SettingsBaseWindow *> windows = m_pscreen->tool_windows();
   std::erase(windows, m_pscreen->get_about_window());
   ASSERT_EQ(windows.size(), 6u);
   rectangle menu_and_tool_bar{0.0f, 0.0f, static_cast<float>(s_iWidth), 60.0f};
   rectangle side_panel{static_cast<float>(s_iWidth - 280), 60.0f, static_cast<float>(s_iWidth), static_cast<float>(s_iHeight)};
   rectangle screen{0.0f, 0.0f, static_cast<float>(s_iWidth), static_cast<float>(s_iHeight)};
   for (std::size_t i = 0; i < windows.size(); ++i)
   {
      rectangle window = widget_rectangle(windows[i]);
      EXPECT_TRUE(window.intersection(menu_and_tool_bar).is_empty()) << windows[i]->title() << " reaches under the tool bar";
      EXPECT_TRUE(window.intersection(side_panel).is_empty()) << windows[i]->title() << " reaches under the side panel";
      EXPECT_TRUE(encloses(screen, window)) << windows[i]->title() << " runs off the screen";
      for (std::size_t j = i + 1; j < windows.size(); ++j)
      {
         EXPECT_TRUE(window.intersection(widget_rectangle(windows[j])).is_empty())
            << windows[i]->title() << " and " << windows[j]->title() << " overlap";
      }
   }
}

// The main window of a first start on a 1600 x 1000 screen leaves the "Raster Label" window at
// its reset place reaching under the side panel: the font size still shows, beside its caption.
TEST_F(first_screen, the_raster_label_font_size_shows_where_the_side_panel_leaves_its_box_uncovered)
{
   m_pscreen->settings_reset_layout();
   constexpr int iWidth = 1344, iHeight = 840;
   m_pscreen->resize_event({iWidth, iHeight});
   frames();
   const SettingsRasterLabel * praster = m_pscreen->get_raster_label_window();
   ASSERT_TRUE(praster->visible());
   ASSERT_EQ(praster->m_pintboxFontSize->text(), "20");
   const rectangle uncovered{0.0f, 0.0f, static_cast<float>(iWidth - 280), static_cast<float>(iHeight)};
   const zelui::TextBox * const boxes[] = {praster->m_ptextboxX, praster->m_ptextboxY, praster->m_pintboxFontSize};
   for (const zelui::TextBox * pbox : boxes)
   {
      EXPECT_GT(text_box_ink(widget_rectangle(pbox).intersection(uncovered)), 20) << pbox->text() << " does not show";
   }
}

TEST_F(first_screen, on_a_smaller_screen_the_tool_windows_move_inside_and_keep_their_saved_places)
{
   m_pscreen->settings_reset_layout();
   const tool_window_layout reset = tool_window_layout::reset_layout();
   // The main window of a first start on a 1920 x 1080 monitor, and a small laptop's screen.
   for (const size_type<int> size : {size_type<int>{1613, 907}, size_type<int>{1280, 720}})
   {
      m_pscreen->resize_event(size);
      frames();
      const rectangle screen{0.0f, 0.0f, static_cast<float>(size.width), static_cast<float>(size.height)};
      for (SettingsBaseWindow * pwindow : m_pscreen->tool_windows())
      {
         if (pwindow->visible())
         {
            EXPECT_TRUE(encloses(screen, widget_rectangle(pwindow)))
               << pwindow->title() << " runs off the screen of " << size.width << " x " << size.height;
         }
      }
      EXPECT_EQ(m_pscreen->current_layout(), reset);
   }

   m_pscreen->resize_event({s_iWidth, s_iHeight});
   frames();
   EXPECT_EQ(m_pscreen->get_raster_label_window()->position(), reset.m_entries[tool_window_layout::e_window_raster].m_point);
}

} // namespace Tarvossa_BrisvanePro
