#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>

#include "core/Global.h"
#include "host/event_loop.h"
#include "running_application.h"
#include "screen/LiveOutputScreen.h"
#include "screen/MainImpact.h"
#include "screen/live_output_window.h"
#include "zelui/Screen.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

// The module's application running on SDL's offscreen video, with a private data folder, two
// monitors and a canvas of the main window's controller.
class live_output : public testing::Test, protected running_application
{
protected:
   live_output()
   {
      start_offscreen({{0, 0, 1000, 800}, {1000, 0, 2920, 1080}});
      m_pglobal = make_pointer<Global>();
      m_pscreen = make_pointer<zelui::Screen>(nullptr, size_type<int>{800, 600}, "test");
      m_pcanvas = make_pointer<MainImpact>(m_pglobal.get(), m_pscreen.get());
   }

   ~live_output() override
   {
      m_pcanvas.reset();
      m_pscreen.reset();
      stop();
   }

   live_output_window * window() const { return m_papplication->get_live_output_window(); }

   pointer<Global> m_pglobal;
   pointer<zelui::Screen> m_pscreen;
   pointer<MainImpact> m_pcanvas;
};

TEST_F(live_output, SwitchingOffWithoutAWindowDoesNothing)
{
   m_pcanvas->set_live_output_to_monitor(-1);
   EXPECT_EQ(window(), nullptr);
}

TEST_F(live_output, OneWindowCoversTheChosenMonitorAndMoves)
{
   m_pcanvas->set_live_output_to_monitor(1);
   live_output_window * pwindow = window();
   ASSERT_NE(pwindow, nullptr);
   EXPECT_EQ(pwindow->get_global(), m_pglobal.get());
   EXPECT_TRUE(pwindow->is_window_visible());
   EXPECT_EQ(pwindow->window_rectangle(user::e_layout_requested), (rectangle_i32{1000, 0, 2920, 1080}));
   ASSERT_NE(pwindow->get_screen(), nullptr);
   MainImpact * pcanvas = pwindow->get_screen()->canvas();
   ASSERT_NE(pcanvas, nullptr);
   EXPECT_TRUE(pcanvas->is_live_output());
   EXPECT_EQ(pcanvas->position(), (point_type<int>{0, 0}));
   EXPECT_EQ(pcanvas->size(), (size_type<int>{1920, 1080}));

   m_pcanvas->set_live_output_to_monitor(0);
   EXPECT_EQ(window(), pwindow);
   EXPECT_EQ(pwindow->window_rectangle(user::e_layout_requested), (rectangle_i32{0, 0, 1000, 800}));
   EXPECT_EQ(pcanvas->size(), (size_type<int>{1000, 800}));
}

TEST_F(live_output, SwitchingOffHidesAndSwitchingOnReusesTheWindow)
{
   m_pcanvas->set_live_output_to_monitor(1);
   live_output_window * pwindow = window();
   LiveOutputScreen * pscreen = pwindow->get_screen();
   m_pcanvas->set_live_output_to_monitor(-1);
   EXPECT_EQ(window(), pwindow);
   EXPECT_FALSE(pwindow->is_window_visible());
   m_pcanvas->set_live_output_to_monitor(1);
   EXPECT_EQ(window(), pwindow);
   EXPECT_EQ(pwindow->get_screen(), pscreen);
   EXPECT_TRUE(pwindow->is_window_visible());
}

TEST_F(live_output, MonitorThatIsNotThereShowsNothing)
{
   m_pcanvas->set_live_output_to_monitor(2);
   EXPECT_EQ(window(), nullptr);
}

TEST_F(live_output, CloseAsksNothingAndKeepsTheWindow)
{
   m_pcanvas->set_live_output_to_monitor(1);
   EXPECT_TRUE(window()->send_message(e_message_close));
   EXPECT_TRUE(window()->is_window());
}

TEST_F(live_output, CanvasFillsTheResizedScreen)
{
   auto pscreen = make_pointer<LiveOutputScreen>(nullptr, m_pglobal.get());
   pscreen->resize_event({640, 360});
   EXPECT_EQ(pscreen->canvas()->position(), (point_type<int>{0, 0}));
   EXPECT_EQ(pscreen->canvas()->size(), (size_type<int>{640, 360}));
   EXPECT_EQ(pscreen->caption(), "Brisvane LED Pro Live Output");
}

} // namespace
