#include <gtest/gtest.h>

#include "orvo/image.h"
#include "test_screen.h"
#include "zel2d/context.h"
#include "zelui/Button.h"
#include "zelui/CheckBox.h"
#include "zelui/ColorPicker.h"
#include "zelui/Label.h"
#include "zelui/Theme.h"
#include "zelui/Window.h"

namespace
{

// A screen drawn into an image of its size.
struct drawn_screen : test_screen
{
   image::image m_image{800, 600};

   void draw()
   {
      zel2d::context context(&m_image);
      m_pscreen->on_window_frame(&context, true);
   }
   color::color at(int x, int y) const { return color::color::from_argb(m_image.pixel(x, y)); }
   zelui::Theme * theme() const { return m_pscreen->get_theme(); }
};

TEST(Drawing, TheScreenClearsToItsBackgroundAndWindowsShowTheirTitleBar)
{
   drawn_screen screen;
   placed(new zelui::Window(screen.get(), "Power"), 100, 100, 200, 150);
   screen.draw();
   EXPECT_EQ(screen.at(5, 5), screen.theme()->m_colorScreenBackground);
   EXPECT_EQ(screen.at(110, 105), screen.theme()->m_colorWindowHeader);
   EXPECT_EQ(screen.at(150, 200), screen.theme()->m_colorWindowBackground);
   // The title is drawn in the middle of the bar.
   bool bTitleInk = false;
   for (int x = 170; x < 230; ++x)
   {
      bTitleInk = bTitleInk || screen.at(x, 113) != screen.theme()->m_colorWindowHeader;
   }
   EXPECT_TRUE(bTitleInk);
}

TEST(Drawing, ChildrenAreDrawnAtTheirPositionsAndClippedToTheirParent)
{
   drawn_screen screen;
   auto pwindow = placed(new zelui::Window(screen.get(), ""), 200, 200, 100, 100);
   placed(new zelui::Button(pwindow, ""), 10, 10, 200, 30);
   screen.draw();
   EXPECT_EQ(screen.at(215, 225), screen.theme()->m_colorButton);
   // The part of the button beyond the window is not drawn.
   EXPECT_EQ(screen.at(320, 225), screen.theme()->m_colorScreenBackground);
}

TEST(Drawing, PushedButtonsAndCheckedBoxesLookDifferent)
{
   drawn_screen screen;
   auto pbutton = placed(new zelui::Button(screen.get(), ""), 10, 10, 80, 24);
   auto pbox = placed(new zelui::CheckBox(screen.get(), ""), 10, 50, 20, 20);
   screen.draw();
   EXPECT_EQ(screen.at(20, 22), screen.theme()->m_colorButton);
   color::color colorUnchecked = screen.at(19, 60);
   pbutton->set_pushed(true);
   pbox->set_checked(true);
   screen.draw();
   EXPECT_EQ(screen.at(20, 22), screen.theme()->m_colorButtonPushed);
   EXPECT_NE(screen.at(19, 60), colorUnchecked);
}

TEST(Drawing, ACheckBoxUnderADroppedClickLooksAsItDidBefore)
{
   drawn_screen screen;
   auto pbox = placed(new zelui::CheckBox(screen.get(), "Visible"), 10, 50, 100, 20);
   screen.move(300, 300);
   screen.draw();
   const auto box_pixels = [&] {
      screen.draw();
      std::vector<std::uint32_t> pixels;
      for (int y = 50; y < 70; ++y)
      {
         for (int x = 10; x < 110; ++x)
         {
            pixels.push_back(screen.m_image.pixel(x, y));
         }
      }
      return pixels;
   };
   const std::vector<std::uint32_t> before = box_pixels();
   // Pressed, dragged off and released elsewhere.
   screen.drag(20, 60, 300, 300);
   EXPECT_FALSE(pbox->checked());
   EXPECT_TRUE(box_pixels() == before) << "after a release elsewhere";
   // Pressed, and the release never comes: the window loses the focus.
   screen.move(20, 60);
   screen.press(20, 60);
   screen.move(300, 300, true);
   screen->on_window_focus(false);
   EXPECT_TRUE(box_pixels() == before) << "after a release that never came";
   // A whole click checks it, and it keeps the focus.
   screen.click(20, 60);
   EXPECT_TRUE(pbox->checked());
   EXPECT_TRUE(pbox->focused());
}

TEST(Drawing, ALabelDrawsItsTextAndAPickerItsColour)
{
   drawn_screen screen;
   auto plabel = new zelui::Label(screen.get(), "Total Power 1.00 A", "sans", 14);
   plabel->set_position({10, 10});
   plabel->set_size(plabel->preferred_size(nullptr));
   placed(new zelui::ColorPicker(screen.get(), color::color(0, 0, 255)), 10, 100, 55, 22);
   screen.draw();
   int iInk = 0;
   for (int y = 10; y < 10 + plabel->height(); ++y)
   {
      for (int x = 10; x < 10 + plabel->width(); ++x)
      {
         iInk += screen.at(x, y) != screen.theme()->m_colorScreenBackground;
      }
   }
   EXPECT_GT(iInk, 50);
   EXPECT_EQ(screen.at(30, 111), color::color(0, 0, 255));
}

TEST(Drawing, TheTooltipOfTheWidgetUnderThePointerIsShown)
{
   drawn_screen screen;
   auto pbutton = placed(new zelui::Button(screen.get(), "-"), 10, 10, 30, 24);
   pbutton->set_tooltip("Remove active layer.");
   screen.draw();
   EXPECT_EQ(screen.at(30, 40), screen.theme()->m_colorScreenBackground);
   screen.move(20, 20);
   screen.draw();
   // Below and right of the pointer.
   EXPECT_EQ(screen.at(34, 42), screen.theme()->m_colorTooltip);
}

// A widget that comes under a resting pointer (here the layout moves it there) shows its tooltip;
// the pointer's next move away must have the window drawn again without it.
TEST(Drawing, ATooltipShownUnderARestingPointerGoesWithThePointersNextMove)
{
   recording_interaction window;
   drawn_screen screen;
   screen->set_interaction(&window);
   auto plabel = placed(new zelui::Label(screen.get(), "+"), 300, 300, 30, 24);
   plabel->set_tooltip("Append completely new layer to top.");
   screen.move(20, 20);
   plabel->set_position({10, 10});
   screen.draw();
   ASSERT_EQ(screen.at(34, 42), screen.theme()->m_colorTooltip);
   const int iPosts = window.m_iPosts;
   screen.move(500, 500);
   EXPECT_GT(window.m_iPosts, iPosts) << "no redraw asked: the tooltip stays on the screen";
}

} // namespace
