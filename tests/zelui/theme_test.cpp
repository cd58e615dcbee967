// The theme's face and the room each control gives its text.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "orvo/exception.h"
#include "orvo/image.h"
#include "test_screen.h"
#include "zel2d/context.h"
#include "zelui/Button.h"
#include "zelui/CheckBox.h"
#include "zelui/ComboBox.h"
#include "zelui/Label.h"
#include "zelui/TextBox.h"
#include "zelui/Theme.h"
#include "zelui/Window.h"

namespace
{

using rectangle = rectangle_type<float>;

float measured(const char * pszFace, float fSize, const char * pszText)
{
   zel2d::context context;
   context.set_font_face(pszFace);
   context.set_font_size(fSize);
   return context.text_bounds(0.0f, 0.0f, pszText, nullptr);
}

TEST(Theme, TheToolkitsSansIsTheThemesNarrowFaceAndAMissingFaceFailsClearly)
{
   test_screen screen;
   zelui::Theme * ptheme = screen->get_theme();
   EXPECT_EQ(ptheme->face("sans"), ptheme->m_pszFontFace);
   EXPECT_EQ(ptheme->face("DejaVu Sans Mono"), "DejaVu Sans Mono");
   auto plabel = new zelui::Label(screen.get(), "Amperes (Power Circuit)", "sans", 14);
   EXPECT_EQ(plabel->preferred_size(nullptr).width,
             static_cast<int>(std::ceil(measured(ptheme->m_pszFontFace, 14.0f, "Amperes (Power Circuit)"))) + 2);
   EXPECT_LT(plabel->preferred_size(nullptr).width, measured("DejaVu Sans", 14.0f, "Amperes (Power Circuit)") * 0.85f);

   zelui::Theme theme;
   theme.m_pszFontFace = "No Such Family 12345";
   try
   {
      theme.require_installed_font();
      ADD_FAILURE() << "a missing face passed";
   }
   catch (const exception & e)
   {
      EXPECT_NE(std::string(e.what()).find("\"No Such Family 12345\" is not installed"), std::string::npos) << e.what();
   }
}

TEST(TextLines, EachControlGivesItsTextTheRoomItDrawsInto)
{
   test_screen screen;
   int iPadding = screen->get_theme()->m_iButtonPadding;

   auto plabel = placed(new zelui::Label(screen.get(), "Offset X", "sans", 14), 10, 10, 60, 19);
   ASSERT_EQ(plabel->text_lines().size(), 1u);
   EXPECT_EQ(plabel->text_lines()[0].m_rectangleRoom, (rectangle{0, 0, 60, 19}));
   EXPECT_EQ(plabel->text_lines()[0].m_fFontSize, 14.0f);

   auto pbutton = placed(new zelui::Button(screen.get(), "Open Project"), 10, 10, 80, 22);
   EXPECT_EQ(pbutton->text_lines().at(0).m_rectangleRoom, (rectangle{float(iPadding), 1, float(80 - iPadding), 21}));

   // A combo box keeps its arrow free of the caption.
   auto pcombo = placed(new zelui::ComboBox(screen.get(), {"1 Phase", "3 Phases"}), 10, 10, 70, 22);
   rectangle roomCombo = pcombo->text_lines().at(0).m_rectangleRoom;
   EXPECT_EQ(roomCombo.left, float(iPadding));
   EXPECT_EQ(roomCombo.right, float(70 - iPadding - screen->get_theme()->m_iPopupArrowSize - 4));

   // A number box shows its units at the right end and its value left of them.
   auto pbox = placed(new zelui::TextBox(screen.get(), "-90"), 10, 10, 40, 22);
   pbox->set_units("°");
   std::vector<zelui::text_line> lines = pbox->text_lines();
   ASSERT_EQ(lines.size(), 2u);
   EXPECT_EQ(lines[0].m_strText, "-90");
   EXPECT_EQ(lines[1].m_strText, "°");
   EXPECT_LE(lines[0].m_rectangleRoom.right, lines[1].m_rectangleRoom.left);
   EXPECT_EQ(lines[1].m_rectangleRoom.right, float(40 - screen->get_theme()->m_iTextBoxPadding));

   auto pcheck = placed(new zelui::CheckBox(screen.get(), "Half First Column"), 10, 10, 120, 19);
   EXPECT_GT(pcheck->text_lines().at(0).m_rectangleRoom.left, 19.0f);
   EXPECT_TRUE(placed(new zelui::CheckBox(screen.get(), ""), 10, 10, 21, 19)->text_lines().empty());

   // A window's title stays off the buttons of its title bar.
   auto pwindow = placed(new zelui::Window(screen.get(), "Power"), 10, 10, 200, 100);
   auto pclose = new zelui::Button(pwindow->button_panel(), "x");
   screen->perform_layout(nullptr);
   EXPECT_LE(pwindow->text_lines().at(0).m_rectangleRoom.right, static_cast<float>(pclose->parent()->x()));
}

TEST(TextLines, ACaptionIsDrawnInsideItsRoom)
{
   test_screen screen;
   auto pbutton = placed(new zelui::Button(screen.get(), "Clone Current"), 10, 10, 80, 22);
   auto pcombo = placed(new zelui::ComboBox(screen.get(), {"3 Phases"}), 10, 10, 70, 22);
   pcombo->set_position({10, 40});
   image::image target(200, 100);
   zel2d::context context(&target);
   std::vector<zel2d::drawn_text> drawn;
   context.set_text_listener([&](const zel2d::drawn_text & text) { drawn.push_back(text); });
   screen->on_window_frame(&context, false);
   ASSERT_EQ(drawn.size(), 2u);
   for (std::size_t i = 0; i < drawn.size(); ++i)
   {
      zelui::Widget * pwidget = i == 0 ? static_cast<zelui::Widget *>(pbutton) : pcombo;
      zelui::text_line line = pwidget->text_lines().at(0);
      float fLeft = drawn[i].m_fX - static_cast<float>(pwidget->x());
      EXPECT_EQ(drawn[i].m_str, line.m_strText);
      EXPECT_GE(fLeft, line.m_rectangleRoom.left);
      EXPECT_LE(fLeft + measured(line.m_strFace.c_str(), line.m_fFontSize, line.m_strText.c_str()), line.m_rectangleRoom.right);
   }
}

} // namespace
