#include "host/molv_application.h"

#include <SDL.h>

#include "host/context.h"
#include "host/windowing.h"
#include "orvo/exception.h"

namespace molv
{

void application::init_instance()
{
   // Closing the last window asks its handlers, like any other close; only the quit message ends.
   SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
   if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
   {
      throw exception(error_failed, string_base("the video system cannot start: ") + SDL_GetError());
   }
}

void application::on_request(request *)
{
}

bool application::term_application()
{
   platform::context::windowing()->destroy_all_windows();
   SDL_QuitSubSystem(SDL_INIT_VIDEO);
   return true;
}

} // namespace molv
