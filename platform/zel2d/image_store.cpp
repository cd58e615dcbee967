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
   for (auto & [iImage, image] : m_images)
   {
      release(image);
   }
}

void image_store::release(stored_image & image)
{
   cairo_surface_destroy(image.m_psurface);
   if (image.m_psurfaceShrunk != nullptr)
   {
      cairo_surface_destroy(image.m_psurfaceShrunk);
   }
   image = {};
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
   m_images.emplace(iImage, stored_image{psurface, nullptr});
   return iImage;
}

cairo_surface_t * image_store::find(int iImage) const
{
   std::lock_guard lock(m_mutex);
   auto it = m_images.find(iImage);
   return it == m_images.end() ? nullptr : cairo_surface_reference(it->second.m_psurface);
}

cairo_surface_t * image_store::find_shrunk(int iImage, int iWidth, int iHeight)
{
   std::lock_guard lock(m_mutex);
   auto it = m_images.find(iImage);
   if (it == m_images.end())
   {
      return nullptr;
   }
   stored_image & image = it->second;
   cairo_surface_t * pshrunk = image.m_psurfaceShrunk;
   if (pshrunk == nullptr || cairo_image_surface_get_width(pshrunk) != iWidth ||
       cairo_image_surface_get_height(pshrunk) != iHeight)
   {
      if (pshrunk != nullptr)
      {
         cairo_surface_destroy(pshrunk);
      }
      pshrunk = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, iWidth, iHeight);
      cairo_t * pcairo = cairo_create(pshrunk);
      cairo_scale(pcairo, double(iWidth) / cairo_image_surface_get_width(image.m_psurface),
                  double(iHeight) / cairo_image_surface_get_height(image.m_psurface));
      cairo_set_source_surface(pcairo, image.m_psurface, 0, 0);
      cairo_pattern_set_filter(cairo_get_source(pcairo), CAIRO_FILTER_GOOD);
      cairo_pattern_set_extend(cairo_get_source(pcairo), CAIRO_EXTEND_PAD);
      cairo_set_operator(pcairo, CAIRO_OPERATOR_SOURCE);
      cairo_paint(pcairo);
      cairo_destroy(pcairo);
      image.m_psurfaceShrunk = pshrunk;
   }
   return cairo_surface_reference(pshrunk);
}

void image_store::mark_changed(int iImage)
{
   std::lock_guard lock(m_mutex);
   auto it = m_images.find(iImage);
   if (it != m_images.end() && it->second.m_psurfaceShrunk != nullptr)
   {
      cairo_surface_destroy(it->second.m_psurfaceShrunk);
      it->second.m_psurfaceShrunk = nullptr;
   }
}

bool image_store::remove(int iImage)
{
   stored_image image;
   {
      std::lock_guard lock(m_mutex);
      auto it = m_images.find(iImage);
      if (it == m_images.end())
      {
         return false;
      }
      image = it->second;
      m_images.erase(it);
   }
   release(image);
   return true;
}

std::size_t image_store::count() const
{
   std::lock_guard lock(m_mutex);
   return m_images.size();
}

} // namespace zel2d
