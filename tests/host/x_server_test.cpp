// Runs under a virtual X server, with SDL's X11 video: how the host ends its event loop on a signal
// and what it does with the errors the X server answers.

#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <dlfcn.h>
#include <poll.h>
#include <signal.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "host/context.h"
#include "host/event_loop.h"
#include "host/main_window.h"
#include "host/molv_application.h"

namespace
{

// Armed, the next time SDL sleeps in its wait for events, SIGTERM comes first: after SDL's last
// look at its events, the moment at which SDL's own handling of the signal loses it.
bool g_bSignalAtSleep = false;
// How long the armed sleep may last: a lost signal ends the wait here instead of never.
constexpr int g_iArmedSleepMilliseconds = 20000;

bool is_called_by_sdl(void * pcaller)
{
   Dl_info info;
   return dladdr(pcaller, &info) && info.dli_fname && std::string(info.dli_fname).find("libSDL2") != std::string::npos;
}

class test_application : virtual public molv::application
{
};

// The application's video system on the X server, with one window, hidden: a window shown would get
// events of the X server's at any time, and SDL wakes its wait for events through a window.
class on_the_x_server : public testing::Test
{
protected:
   void SetUp() override
   {
      m_papplication->init_instance();
      m_pwindow->create_main_window();
      // Whatever the creation made the X server send is handled before the case begins.
      for (int i = 0; i < 10; ++i)
      {
         platform::context::event_loop()->process_pending_events();
         SDL_Delay(20);
      }
   }

   void TearDown() override
   {
      m_pwindow->destroy_window();
      m_papplication->term_application();
      platform::context::event_loop()->reset_quit();
   }

   // The window as X knows it: its id, and SDL's connection.
   SDL_SysWMinfo x_window() const
   {
      SDL_SysWMinfo info;
      SDL_VERSION(&info.version);
      if (!SDL_GetWindowWMInfo(SDL_GetWindowFromID(m_pwindow->window_id()), &info) || info.subsystem != SDL_SYSWM_X11)
      {
         ADD_FAILURE() << "the window is not on X";
      }
      return info;
   }

   pointer<test_application> m_papplication = make_pointer<test_application>();
   pointer<user::main_window> m_pwindow = make_pointer<user::main_window>();
};

// A message sent to the window over another connection, as SDL sends its wake-up.
void send_message(Display * pdisplay, Window window)
{
   XEvent event = {};
   event.xclient.type = ClientMessage;
   event.xclient.window = window;
   event.xclient.message_type = XInternAtom(pdisplay, "BRISVANE_TEST", False);
   event.xclient.format = 8;
   XSendEvent(pdisplay, window, False, NoEventMask, &event);
}

} // namespace

// SDL sleeps in poll() on the X connection. Defined here, it stands before the C library's for SDL
// too, so that a case can send the signal at the very moment SDL goes to sleep.
extern "C" int poll(struct pollfd * pfds, nfds_t nfds, int iTimeout)
{
   static auto * preal = reinterpret_cast<int (*)(struct pollfd *, nfds_t, int)>(dlsym(RTLD_NEXT, "poll"));
   if (g_bSignalAtSleep && iTimeout < 0 && is_called_by_sdl(__builtin_return_address(0)))
   {
      g_bSignalAtSleep = false;
      raise(SIGTERM);
      iTimeout = g_iArmedSleepMilliseconds;
   }
   return preal(pfds, nfds, iTimeout);
}

TEST_F(on_the_x_server, a_sigterm_that_comes_as_the_loop_falls_asleep_ends_it)
{
   g_bSignalAtSleep = true;
   platform::context::event_loop()->run();
   EXPECT_FALSE(g_bSignalAtSleep) << "the loop never slept";
   EXPECT_TRUE(platform::context::event_loop()->is_quit_posted()) << "the loop woke without the quit";
}

TEST_F(on_the_x_server, a_late_message_to_a_destroyed_window_is_only_traced_and_any_other_error_told_in_one_line)
{
   const SDL_SysWMinfo info = x_window();
   const Window window = info.info.x11.window;
   Display * pdisplay = XOpenDisplay(nullptr);
   ASSERT_NE(pdisplay, nullptr);
   m_pwindow->destroy_window();
   XSync(info.info.x11.display, False);
   // Served after the window's end, as the X server may serve SDL's wake-up under load; the error
   // is read when the connection closes, after SDL's video system stopped, as SDL's is.
   send_message(pdisplay, window);
   m_papplication->term_application();
   setenv("BRISVANE_TRACE", "1", 1);
   testing::internal::CaptureStderr();
   XCloseDisplay(pdisplay);
   const std::string strTraced = testing::internal::GetCapturedStderr();
   unsetenv("BRISVANE_TRACE");
   EXPECT_NE(strTraced.find("a message to the destroyed window"), std::string::npos) << strTraced;
   EXPECT_EQ(strTraced.find("refused a request"), std::string::npos) << strTraced;

   // Not traced otherwise.
   pdisplay = XOpenDisplay(nullptr);
   ASSERT_NE(pdisplay, nullptr);
   send_message(pdisplay, window);
   testing::internal::CaptureStderr();
   XSync(pdisplay, False);
   EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

   // Another request on the destroyed window, and a message to a destroyed window that was not
   // SDL's: each told in a line of its own, and the program goes on.
   const Window windowOther = XCreateSimpleWindow(pdisplay, DefaultRootWindow(pdisplay), 0, 0, 10, 10, 0, 0, 0);
   XDestroyWindow(pdisplay, windowOther);
   XMapWindow(pdisplay, window);
   send_message(pdisplay, windowOther);
   testing::internal::CaptureStderr();
   XSync(pdisplay, False);
   const std::string strTold = testing::internal::GetCapturedStderr();
   XCloseDisplay(pdisplay);
   const auto iMap = strTold.find("refused a request, and the program goes on: BadWindow");
   ASSERT_NE(iMap, std::string::npos) << strTold;
   EXPECT_NE(strTold.find("X_MapWindow", iMap), std::string::npos) << strTold;
   EXPECT_NE(strTold.find("X_SendEvent", iMap), std::string::npos) << strTold;
   EXPECT_EQ(std::ranges::count(strTold, '\n'), 2) << strTold;
}
