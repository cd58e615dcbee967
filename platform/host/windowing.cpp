#include "host/windowing.h"

#include <SDL.h>

#include <algorithm>

#include "host/main_window.h"
#include "orvo/image32.h"

namespace user
{

windowing::windowing() : m_psource(make_pointer<monitor_source>())
{
}

windowing::~windowing() = default;

int windowing::monitor_count()
{
   return m_psource->monitor_count();
}

std::optional<rectangle_i32> windowing::monitor_rectangle(long long iMonitor)
{
   if (iMonitor < 0 || iMonitor >= monitor_count())
   {
      return std::nullopt;
   }
   return m_psource->monitor_rectangle(static_cast<int>(iMonitor));
}

int windowing::monitor_of(const rectangle_i32 & rectangle)
{
   const int iCount = monitor_count();
   int iBest = iCount > 0 ? 0 : -1;
   long long iBestArea = 0;
   for (int i = 0; i < iCount; ++i)
   {
      const long long iArea = m_psource->monitor_rectangle(i).intersection(rectangle).area();
      if (iArea > iBestArea)
      {
         iBest = i;
         iBestArea = iArea;
      }
   }
   return iBest;
}

rectangle_i32 windowing::main_monitor_rectangle()
{
   return monitor_rectangle(0).value_or(rectangle_i32{0, 0, 1024, 768});
}

void windowing::set_monitor_source(pointer<monitor_source> psource)
{
   m_psource = psource ? psource : make_pointer<monitor_source>();
}

void windowing::add_window(main_window * pwindow)
{
   if (std::find(m_windows.begin(), m_windows.end(), pwindow) == m_windows.end())
   {
      m_windows.push_back(pwindow);
   }
}

void windowing::remove_window(main_window * pwindow)
{
   std::erase(m_windows, pwindow);
}

main_window * windowing::find_window(std::uint32_t uWindowId) const
{
   for (main_window * pwindow : m_windows)
   {
      if (pwindow->window_id() == uWindowId)
      {
         return pwindow;
      }
   }
   return nullptr;
}

void windowing::destroy_all_windows()
{
   // Destroying a window removes it from the list, so work on a copy.
   const std::vector<main_window *> windows = m_windows;
   for (main_window * pwindow : windows)
   {
      pwindow->destroy_window();
   }
}

void windowing::set_window_icon(const image::image & icon)
{
   m_sizeIcon = {icon.width(), icon.height()};
   const auto iRowBytes = static_cast<std::size_t>(icon.width()) * 4;
   m_iconRgba.resize(iRowBytes * static_cast<std::size_t>(icon.height()));
   for (int y = 0; y < icon.height(); ++y)
   {
      image32_t::to_straight_rgba(icon.row(y), icon.width(), m_iconRgba.data() + iRowBytes * static_cast<std::size_t>(y));
   }
}

void windowing::show_window_icon(SDL_Window * pwindow) const
{
   if (m_iconRgba.empty())
   {
      return;
   }
   // SDL copies the pixels into the window's icon property: the surface only lends them.
   SDL_Surface * psurface = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint8_t *>(m_iconRgba.data()), m_sizeIcon.width,
                                                               m_sizeIcon.height, 32, m_sizeIcon.width * 4, SDL_PIXELFORMAT_RGBA32);
   if (psurface)
   {
      SDL_SetWindowIcon(pwindow, psurface);
      SDL_FreeSurface(psurface);
   }
}

void windowing::update_screen_saver()
{
   if (std::ranges::any_of(m_windows, [](main_window * pwindow) { return pwindow->covers_a_monitor(); }))
   {
      SDL_DisableScreenSaver();
   }
   else
   {
      SDL_EnableScreenSaver();
   }
}

} // namespace user
