#include "zel2d/image_store.h"

#include <cairo.h>
#include <climits>
#include <stdexcept>

namespace zel2d
{

image_store & image_store::shared()
{
   static image_store s_store;
   return s_store;
}

image_store::~image_store()
{
   for (auto & [iImage, psurface] : m_surfaces)
   {
      cairo_surface_destroy(psurface);
   }
}

int image_store::add(cairo_surface_t * psurface)
{
   std::lock_guard lock(m_mutex);
   if (m_iLastHandle == INT_MAX)
   {
      cairo_surface_destroy(psurface);
      throw std::runtime_error("zel2d: every image handle has been issued");
   }
   const int iImage = ++m_iLastHandle;
   m_surfaces.emplace(iImage, psurface);
   return iImage;
}

cairo_surface_t * image_store::find(int iImage) const
{
   std::lock_guard lock(m_mutex);
   auto it = m_surfaces.find(iImage);
   return it == m_surfaces.end() ? nullptr : cairo_surface_reference(it->second);
}

bool image_store::remove(int iImage)
{
   cairo_surface_t * psurface = nullptr;
   {
      std::lock_guard lock(m_mutex);
      auto it = m_surfaces.find(iImage);
      if (it == m_surfaces.end())
      {
         return false;
      }
      psurface = it->second;
      m_surfaces.erase(it);
   }
   cairo_surface_destroy(psurface);
   return true;
}

std::size_t image_store::count() const
{
   std::lock_guard lock(m_mutex);
   return m_surfaces.size();
}

} // namespace zel2d
