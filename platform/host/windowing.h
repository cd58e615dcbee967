#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "host/monitor_source.h"
#include "orvo/image.h"
#include "orvo/pointer.h"

struct SDL_Window;

namespace user
{

class main_window;

// The monitors and the open windows of the application.
class windowing
{
public:
   windowing();
   ~windowing();

   int monitor_count();
   // The rectangle of a monitor; nothing for an index that names no monitor.
   std::optional<rectangle_i32> monitor_rectangle(long long iMonitor);
   // The monitor that holds the largest part of the rectangle; the first monitor when none holds
   // any of it; -1 when there is no monitor at all.
   int monitor_of(const rectangle_i32 & rectangle);
   // The first monitor's rectangle, where windows open; a plain 1024 x 768 when there is none.
   rectangle_i32 main_monitor_rectangle();

   // Replaces where the monitors come from (a test's several monitors); null goes back to SDL.
   void set_monitor_source(pointer<monitor_source> psource);

   void add_window(main_window * pwindow);
   void remove_window(main_window * pwindow);
   main_window * find_window(std::uint32_t uWindowId) const;
   const std::vector<main_window *> & windows() const noexcept { return m_windows; }
   // Destroys every window still open (at the end of the application).
   void destroy_all_windows();

   // The icon that every window shows from its creation on (the program's, for the task bar and
   // the dock); a window made before keeps none.
   void set_window_icon(const image::image & icon);
   // Gives the SDL window the icon, when there is one.
   void show_window_icon(SDL_Window * pwindow) const;

   // The screen saver and the screen lock are the user's: they are held off only while a window
   // that covers a monitor (the raster shown there) is shown. Run whenever a window shows, hides
   // or goes.
   void update_screen_saver();

private:
   pointer<monitor_source> m_psource;
   // Not owned: a window adds itself when its SDL window exists and removes itself when it goes.
   std::vector<main_window *> m_windows;
   // The icon's pixels as SDL takes them: straight (not premultiplied) RGBA bytes, rows top first.
   std::vector<std::uint8_t> m_iconRgba;
   size_type<int> m_sizeIcon;
};

} // namespace user
