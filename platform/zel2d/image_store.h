#pragma once

#include <mutex>
#include <unordered_map>

typedef struct _cairo_surface cairo_surface_t;

namespace zel2d
{

// The process-wide store of context images: integer handles to image surfaces that the store
// owns. Handles count up from 1 and are never reused, so a stale handle finds nothing.
class image_store
{
public:
   static image_store & shared();

   ~image_store();

   // Takes ownership of `psurface`; returns its new handle.
   int add(cairo_surface_t * psurface);
   // The surface of a handle with a reference of its own (release it with cairo_surface_destroy),
   // or null when the handle holds no image.
   cairo_surface_t * find(int iImage) const;
   // The image shrunk to `iWidth` x `iHeight` (smoothly, each pixel the average of the pixels it
   // covers), with a reference of its own, or null when the handle holds no image. The last
   // shrunk copy of each image is kept, so drawing the same image at one zoom again and again
   // shrinks it once.
   cairo_surface_t * find_shrunk(int iImage, int iWidth, int iHeight);
   // The image's pixels were changed: its shrunk copy is stale.
   void mark_changed(int iImage);
   // Frees the image; false when the handle held none.
   bool remove(int iImage);
   std::size_t count() const;

private:
   image_store() = default;

   struct stored_image
   {
      cairo_surface_t * m_psurface = nullptr;
      cairo_surface_t * m_psurfaceShrunk = nullptr;
   };

   static void release(stored_image & image);

   mutable std::mutex m_mutex;
   std::unordered_map<int, stored_image> m_images;
   int m_iLastHandle = 0;
};

} // namespace zel2d
