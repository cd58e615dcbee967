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
   // Frees the image; false when the handle held none.
   bool remove(int iImage);
   std::size_t count() const;

private:
   image_store() = default;

   mutable std::mutex m_mutex;
   std::unordered_map<int, cairo_surface_t *> m_surfaces;
   int m_iLastHandle = 0;
};

} // namespace zel2d
