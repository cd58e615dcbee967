#include "host/monitor_source.h"

#include <SDL.h>

namespace user
{

int monitor_source::monitor_count()
{
   const int iCount = SDL_GetNumVideoDisplays();
   return iCount < 0 ? 0 : iCount;
}

rectangle_i32 monitor_source::monitor_rectangle(int iMonitor)
{
   SDL_Rect rect{};
   if (SDL_GetDisplayBounds(iMonitor, &rect) != 0)
   {
      return {};
   }
   return rectangle_i32::from({rect.x, rect.y}, {rect.w, rect.h});
}

} // namespace user
