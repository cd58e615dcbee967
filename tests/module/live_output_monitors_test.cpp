// The live output on a desk with two monitors, under a virtual X server: where the X server puts
// the window and which window holds the keyboard are read back from the X server with xdotool,
// independently of SDL; the calls to the desktop's screen saver are read back from a stand-in on
// a session bus of the test's own.

#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_syswm.h>

#include <string>

#include "command_output.h"
#include "host/event_loop.h"
#include "host/request.h"
#include "private_session_bus.h"
#include "running_application.h"
#include "screen/MainImpact.h"
#include "screen/MainScreen.h"
#include "screen/live_output_window.h"
#include "screen/main_window.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

// The X server's window behind a window of the host.
unsigned long x_window_of(user::main_window * pwindow)
{
   SDL_SysWMinfo info;
   SDL_VERSION(&info.version);
   SDL_Window * psdlwindow = SDL_GetWindowFromID(pwindow->window_id());
   return psdlwindow && SDL_GetWindowWMInfo(psdlwindow, &info) ? info.info.x11.window : 0;
}

// Lets the X server and the event loop settle.
void settle()
{
   for (int i = 0; i < 20; ++i)
   {
      SDL_PumpEvents();
      platform::context::event_loop()->process_pending_events();
      SDL_Delay(25);
   }
}

class live_output_monitors : public testing::Test, protected running_application
{
protected:
   live_output_monitors()
   {
      start({{0, 0, 1600, 900}, {1600, 0, 3200, 900}});
      pointer<request> prequest = make_pointer<request>(e_command_application_started);
      m_papplication->on_request(prequest.get());
      settle();
   }

   ~live_output_monitors() override { stop(); }
};

// The same desk with the desktop's screen saver on the session bus. SDL reaches the bus once per
// process, when its video system first starts: this case runs in a process of its own.
class live_output_screen_saver : public testing::Test, protected running_application
{
protected:
   live_output_screen_saver()
   {
      m_pbus->start_screen_saver();
      start({{0, 0, 1600, 900}, {1600, 0, 3200, 900}});
      m_papplication->on_request(make_pointer<request>(e_command_application_started).get());
      settle();
   }

   ~live_output_screen_saver() override
   {
      stop();
      m_pbus.reset();
      std::filesystem::remove_all(m_pathBus);
   }

   std::filesystem::path m_pathBus = std::filesystem::temp_directory_path() / ("brisvane_bus_" + std::to_string(::getpid()));
   std::unique_ptr<private_session_bus> m_pbus = std::make_unique<private_session_bus>(m_pathBus);
};

} // namespace

TEST_F(live_output_monitors, the_window_covers_the_chosen_monitor_borderless_and_the_keyboard_stays_with_the_main_window)
{
   main_window * pmain = m_papplication->get_main_window();
   ASSERT_NE(pmain, nullptr);
   const std::string strMain = std::to_string(x_window_of(pmain));
   // A key typed in the main window, as a user does before choosing the monitor from the menu.
   output_of("xdotool key shift");
   settle();
   ASSERT_EQ(output_of("xdotool getwindowfocus"), strMain + "\n");

   MainImpact * pcanvas = pmain->get_main_screen()->canvas();
   for (int iRound = 0; iRound < 2; ++iRound)
   {
      pcanvas->set_live_output_to_monitor(1);
      settle();
      live_output_window * plive = m_papplication->get_live_output_window();
      ASSERT_NE(plive, nullptr);
      EXPECT_EQ(output_of("xdotool getwindowgeometry --shell " + std::to_string(x_window_of(plive))),
                "WINDOW=" + std::to_string(x_window_of(plive)) + "\nX=1600\nY=0\nWIDTH=1600\nHEIGHT=900\nSCREEN=0\n");
      EXPECT_TRUE(SDL_GetWindowFlags(SDL_GetWindowFromID(plive->window_id())) & SDL_WINDOW_BORDERLESS);
      // Task bars list it under the program's launcher, as the main window.
      EXPECT_EQ(output_of("xprop -id " + std::to_string(x_window_of(plive)) + " WM_CLASS"),
                "WM_CLASS(STRING) = \"Tarvossa_BrisvanePro\", \"Tarvossa_BrisvanePro\"\n");
      EXPECT_EQ(output_of("xdotool getwindowfocus"), strMain + "\n") << "round " << iRound;
      pcanvas->set_live_output_to_monitor(-1);
      settle();
   }
}

TEST_F(live_output_screen_saver, the_screen_saver_is_held_off_only_while_the_live_output_shows)
{
   EXPECT_EQ(m_pbus->screen_saver_calls(), std::vector<std::string>{}) << "the main window alone leaves it alone";
   MainImpact * pcanvas = m_papplication->get_main_window()->get_main_screen()->canvas();
   for (int iRound = 0; iRound < 2; ++iRound)
   {
      SCOPED_TRACE(iRound);
      pcanvas->set_live_output_to_monitor(1);
      settle();
      std::vector<std::string> calls = m_pbus->screen_saver_calls();
      ASSERT_FALSE(calls.empty());
      EXPECT_NE(calls.back(), "UnInhibit");
      EXPECT_EQ(std::count(calls.begin(), calls.end(), "Inhibit"), iRound + 1);
      pcanvas->set_live_output_to_monitor(-1);
      settle();
      calls = m_pbus->screen_saver_calls();
      EXPECT_EQ(calls.back(), "UnInhibit");
      EXPECT_EQ(std::count(calls.begin(), calls.end(), "UnInhibit"), iRound + 1);
   }
}
