#include "zel2d/image_store.h"

#include <cairo.h>
#include <climits>
#include <stdexcept>
#include <utility>

#include "zel2d/area_shrink.h"

namespace zel2d
{

void surface_release::operator()(cairo_surface_t * psurface) const noexcept
{
   cairo_surface_destroy(psurface);
}

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
   if (image.m_psurface != nullptr)
   {
      cairo_surface_destroy(image.m_psurface);
   }
   if (image.m_psurfaceShrunk != nullptr)
   {
      cairo_surface_destroy(image.m_psurfaceShrunk);
   }
   image = {};
}

namespace
{

cairo_surface_t * surface_of_pixels(image::image & picture)
{
   return cairo_image_surface_create_for_data(reinterpret_cast<unsigned char *>(picture.data()), CAIRO_FORMAT_ARGB32,
                                              picture.width(), picture.height(), picture.scan_size());
}

pixel_rows rows_of(cairo_surface_t * psurface)
{
   return {cairo_image_surface_get_data(psurface), cairo_image_surface_get_width(psurface), cairo_image_surface_get_height(psurface),
           cairo_image_surface_get_stride(psurface)};
}

rectangle_i32 whole_of(cairo_surface_t * psurface)
{
   return {0, 0, cairo_image_surface_get_width(psurface), cairo_image_surface_get_height(psurface)};
}

// The source pixels that the copy pixels over `rectSource` are made from.
rectangle_i32 target_area_of_source(const rectangle_i32 & rectSource, cairo_surface_t * psurface, cairo_surface_t * pshrunk)
{
   const pixel_rows source = rows_of(psurface);
   const pixel_rows target = rows_of(pshrunk);
   const rectangle_i32 rectTarget = target_area_of(rectSource, source, target);
   const auto source_edge = [](int i, int S, int D) { return static_cast<int>(static_cast<long long>(i) * S / D); };
   const auto source_edge_up = [](int i, int S, int D) { return static_cast<int>((static_cast<long long>(i) * S + D - 1) / D); };
   return {source_edge(rectTarget.left, source.m_iWidth, target.m_iWidth), source_edge(rectTarget.top, source.m_iHeight, target.m_iHeight),
           source_edge_up(rectTarget.right, source.m_iWidth, target.m_iWidth), source_edge_up(rectTarget.bottom, source.m_iHeight, target.m_iHeight)};
}

} // namespace

cairo_surface_t * image_store::current_surface(stored_image & image)
{
   image::image * ppicture = image.m_pimageShared.get();
   if (ppicture == nullptr)
   {
      return image.m_psurface;
   }
   const bool bFollows = image.m_psurface != nullptr && ppicture->_is_ok() &&
                         cairo_image_surface_get_data(image.m_psurface) == reinterpret_cast<unsigned char *>(ppicture->data()) &&
                         cairo_image_surface_get_width(image.m_psurface) == ppicture->width() &&
                         cairo_image_surface_get_height(image.m_psurface) == ppicture->height() &&
                         cairo_image_surface_get_stride(image.m_psurface) == ppicture->scan_size();
   if (!bFollows)
   {
      pointer<image::image> pimageKept = image.m_pimageShared;
      release(image);
      image.m_pimageShared = pimageKept;
      if (ppicture->_is_ok())
      {
         image.m_psurface = surface_of_pixels(*ppicture);
      }
   }
   return image.m_psurface;
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
   stored_image image;
   image.m_psurface = psurface;
   m_images.emplace(iImage, std::move(image));
   return iImage;
}

int image_store::add_shared(const pointer<image::image> & pimage)
{
   const int iImage = add(surface_of_pixels(*pimage));
   std::lock_guard lock(m_mutex);
   m_images[iImage].m_pimageShared = pimage;
   return iImage;
}

bool image_store::is_shared_with(int iImage, const image::image * pimage) const
{
   std::lock_guard lock(m_mutex);
   auto it = m_images.find(iImage);
   return it != m_images.end() && pimage != nullptr && it->second.m_pimageShared.get() == pimage;
}

void image_store::make_pending_in(stored_image & image, const rectangle_i32 & rect)
{
   if (image.m_rectPending.intersection(rect).is_empty())
   {
      return;
   }
   const rectangle_i32 rectPending = std::exchange(image.m_rectPending, {});
   image.m_make_pending(rectPending);
   if (image.m_psurface != nullptr)
   {
      cairo_surface_mark_dirty(image.m_psurface);
   }
}

surface_reference image_store::find(int iImage)
{
   std::lock_guard lock(m_mutex);
   auto it = m_images.find(iImage);
   if (it == m_images.end())
   {
      return nullptr;
   }
   cairo_surface_t * psurface = current_surface(it->second);
   make_pending_in(it->second, it->second.m_rectPending);
   return surface_reference(psurface == nullptr ? nullptr : cairo_surface_reference(psurface));
}

surface_reference image_store::find_shrunk(int iImage, int iWidth, int iHeight)
{
   std::lock_guard lock(m_mutex);
   auto it = m_images.find(iImage);
   if (it == m_images.end())
   {
      return nullptr;
   }
   stored_image & image = it->second;
   cairo_surface_t * psurface = current_surface(image);
   if (psurface == nullptr || iWidth < 1 || iHeight < 1 || iWidth > cairo_image_surface_get_width(psurface) ||
       iHeight > cairo_image_surface_get_height(psurface))
   {
      return nullptr;
   }
   cairo_surface_t * pshrunk = image.m_psurfaceShrunk;
   rectangle_i32 rectStale = image.m_rectStale;
   if (pshrunk == nullptr || cairo_image_surface_get_width(pshrunk) != iWidth || cairo_image_surface_get_height(pshrunk) != iHeight)
   {
      if (pshrunk != nullptr)
      {
         cairo_surface_destroy(pshrunk);
      }
      pshrunk = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, iWidth, iHeight);
      image.m_psurfaceShrunk = pshrunk;
      rectStale = whole_of(psurface);
   }
   if (!rectStale.is_empty())
   {
      make_pending_in(image, rectStale);
      shrink_again(psurface, pshrunk, rectStale);
      image.m_rectStale = {};
   }
   return surface_reference(cairo_surface_reference(pshrunk));
}

void image_store::shrink_again(cairo_surface_t * psurface, cairo_surface_t * pshrunk, const rectangle_i32 & rectChanged)
{
   cairo_surface_flush(psurface);
   cairo_surface_flush(pshrunk);
   const pixel_rows source = rows_of(psurface);
   const pixel_rows target = rows_of(pshrunk);
   shrink_by_area(source, target, target_area_of(rectChanged, source, target));
   cairo_surface_mark_dirty(pshrunk);
}

void image_store::mark_changed(int iImage)
{
   mark_changed(iImage, {0, 0, INT_MAX, INT_MAX});
}

void image_store::mark_changed(int iImage, const rectangle_i32 & rectChanged, remake_copies when)
{
   std::lock_guard lock(m_mutex);
   auto it = m_images.find(iImage);
   if (it == m_images.end())
   {
      return;
   }
   stored_image & image = it->second;
   cairo_surface_t * psurface = current_surface(image);
   if (when == remake_copies::now && psurface != nullptr && image.m_psurfaceShrunk != nullptr)
   {
      // The copy's pixels under the change are made from source pixels around it too.
      make_pending_in(image, target_area_of_source(rectChanged, psurface, image.m_psurfaceShrunk));
      shrink_again(psurface, image.m_psurfaceShrunk, rectChanged);
      return;
   }
   image.m_rectStale = image.m_rectStale.united(rectChanged);
}

size_type<int> image_store::size_of(int iImage)
{
   std::lock_guard lock(m_mutex);
   auto it = m_images.find(iImage);
   cairo_surface_t * psurface = it == m_images.end() ? nullptr : current_surface(it->second);
   if (psurface == nullptr)
   {
      return {};
   }
   return {cairo_image_surface_get_width(psurface), cairo_image_surface_get_height(psurface)};
}

int image_store::halvings_of(stored_image & image)
{
   cairo_surface_t * psurface = current_surface(image);
   return psurface != nullptr && image.m_psurfaceShrunk != nullptr ? exact_halvings(rows_of(psurface), rows_of(image.m_psurfaceShrunk)) : 0;
}

int image_store::copy_halvings(int iImage)
{
   std::lock_guard lock(m_mutex);
   auto it = m_images.find(iImage);
   return it == m_images.end() ? 0 : halvings_of(it->second);
}

bool image_store::has_shrunk_copy(int iImage) const
{
   std::lock_guard lock(m_mutex);
   auto it = m_images.find(iImage);
   return it != m_images.end() && it->second.m_psurfaceShrunk != nullptr;
}

void image_store::make_copy_from_part(int iImage, const pixel_rows & part, const rectangle_i32 & rectSource, pixel_maker make_pixels)
{
   std::lock_guard lock(m_mutex);
   auto it = m_images.find(iImage);
   if (it == m_images.end())
   {
      return;
   }
   stored_image & image = it->second;
   const int iHalvings = halvings_of(image);
   if (iHalvings == 0)
   {
      throw std::logic_error("zel2d: the image has no copy that halves it exactly");
   }
   cairo_surface_flush(image.m_psurfaceShrunk);
   shrink_part_by_halving(part, rectSource, rows_of(image.m_psurfaceShrunk), iHalvings);
   cairo_surface_mark_dirty(image.m_psurfaceShrunk);
   image.m_rectPending = image.m_rectPending.united(rectSource);
   image.m_make_pending = std::move(make_pixels);
}

void image_store::make_pending(int iImage)
{
   std::lock_guard lock(m_mutex);
   auto it = m_images.find(iImage);
   if (it != m_images.end())
   {
      make_pending_in(it->second, it->second.m_rectPending);
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
