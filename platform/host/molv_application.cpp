#include "host/molv_application.h"

#include <SDL.h>

#include <cstdlib>
#include <string_view>
#include <vector>

#include "host/context.h"
#include "host/system.h"
#include "host/windowing.h"
#include "host/x_error_handler.h"
#include "orvo/exception.h"

namespace molv
{

namespace
{

// SDL names the class of its windows (X11's WM_CLASS, Wayland's app id) after the environment
// variables it reads while its video system starts. They are set for that time only, unless the
// user set them: the programs the application starts later must not inherit them.
class window_class_variables
{
public:
   explicit window_class_variables(const string_base & strClass)
   {
      for (const char * pszVariable : s_pszVariables)
      {
         if (!strClass.empty() && !std::getenv(pszVariable))
         {
            ::setenv(pszVariable, strClass.c_str(), 1);
            m_set.push_back(pszVariable);
         }
      }
   }

   ~window_class_variables()
   {
      for (const char * pszVariable : m_set)
      {
         ::unsetenv(pszVariable);
      }
   }

   window_class_variables(const window_class_variables &) = delete;
   window_class_variables & operator=(const window_class_variables &) = delete;

private:
   static constexpr const char * s_pszVariables[] = {"SDL_VIDEO_X11_WMCLASS", "SDL_VIDEO_WAYLAND_WMCLASS"};
   std::vector<const char *> m_set;
};

// Whether the comma-separated list of video drivers (SDL_VIDEODRIVER) names the driver.
bool names_driver(std::string_view list, std::string_view driver)
{
   while (!list.empty())
   {
      const std::size_t iComma = list.find(',');
      if (list.substr(0, iComma) == driver)
      {
         return true;
      }
      list = iComma == std::string_view::npos ? std::string_view() : list.substr(iComma + 1);
   }
   return false;
}

// Whether SDL_VIDEODRIVER asks for a video driver that shows nothing: drawing into memory, as the
// tests do.
bool is_asked_to_show_nothing()
{
   const char * pszAsked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
   return pszAsked && (names_driver(pszAsked, "offscreen") || names_driver(pszAsked, "dummy"));
}

string_base display_variable(const char * pszName)
{
   const char * pszValue = std::getenv(pszName);
   return pszValue ? pszValue : "";
}

} // namespace

void application::init_instance()
{
   // Closing the last window asks its handlers, like any other close; only the quit message ends.
   SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
   // The pixels are drawn in memory; the renderer only copies them to the window, which SDL's
   // software renderer does on the window's own framebuffer without any graphics driver.
   // SDL_RENDER_DRIVER and SDL_FRAMEBUFFER_ACCELERATION in the environment still choose otherwise.
   SDL_SetHintWithPriority(SDL_HINT_RENDER_DRIVER, "software", SDL_HINT_DEFAULT);
   SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
   // The screen saver and the screen lock stay the user's; only a window that covers a monitor
   // holds them off while it shows (user::windowing), under the application's name.
   SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
   SDL_SetHint(SDL_HINT_APP_NAME, application_name().c_str());
   SDL_SetHint(SDL_HINT_SCREENSAVER_INHIBIT_ACTIVITY_NAME, "Showing a window over a whole monitor");
   // Where no display can be reached, SDL falls back to drawing into memory: the program would run
   // with no window on any screen until killed. That start ends at once, saying why.
   const bool bShowsNothing = is_asked_to_show_nothing();
   if (!bShowsNothing && display_variable("DISPLAY").empty() && display_variable("WAYLAND_DISPLAY").empty())
   {
      throw exception(error_failed, "there is no display to show the window on: neither DISPLAY nor WAYLAND_DISPLAY is set");
   }
   // Put in place before SDL's, which hands on to it, so that it outlives SDL's video system.
   user::x_error_handler::install();
   {
      const window_class_variables variables(desktop_id());
      if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
      {
         throw exception(error_failed, string_base("the video system cannot start: ") + SDL_GetError());
      }
   }
   const std::string_view driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
   if (!bShowsNothing && (driver == "offscreen" || driver == "dummy"))
   {
      SDL_QuitSubSystem(SDL_INIT_VIDEO);
      throw exception(error_failed, format("no display can be reached (DISPLAY=%s, WAYLAND_DISPLAY=%s)",
                                           display_variable("DISPLAY").c_str(), display_variable("WAYLAND_DISPLAY").c_str()));
   }
}

void application::on_request(request *)
{
}

bool application::term_application()
{
   // What the desktop was asked for on the application's behalf is not answered any more.
   platform::context::system()->close();
   platform::context::windowing()->destroy_all_windows();
   SDL_QuitSubSystem(SDL_INIT_VIDEO);
   return true;
}

} // namespace molv
