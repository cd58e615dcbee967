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
   // The pixels are drawn in memory; the renderer only copies them to the window, which SDL's
   // software renderer does on the window's own framebuffer without any graphics driver.
   // SDL_RENDER_DRIVER and SDL_FRAMEBUFFER_ACCELERATION in the environment still choose otherwise.
   SDL_SetHintWithPriority(SDL_HINT_RENDER_DRIVER, "software", SDL_HINT_DEFAULT);
   SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
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
