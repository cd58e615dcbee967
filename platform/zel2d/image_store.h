#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "orvo/geometry.h"
#include "orvo/image.h"
#include "orvo/pointer.h"
#include "zel2d/area_shrink.h"
#include "zel2d/forward.h"

typedef struct _cairo_surface cairo_surface_t;

namespace zel2d
{

// Releases a surface reference (cairo_surface_destroy).
struct surface_release
{
   void operator()(cairo_surface_t * psurface) const noexcept;
};

// A reference of its own to a surface, released when it goes.
using surface_reference = std::unique_ptr<cairo_surface_t, surface_release>;

// The process-wide store of context images: integer handles to image surfaces that the store
// owns, or to pictures whose own pixels it shows. Handles count up from 1 and are never reused,
// so a stale handle finds nothing.
class image_store
{
public:
   static image_store & shared();

   ~image_store();

   // Takes ownership of `psurface`; returns its new handle.
   int add(cairo_surface_t * psurface);
   // Keeps a reference to `pimage` (which must hold pixels) and shows its own pixels, with no
   // copy, whatever they are when the handle is drawn; returns the new handle.
   int add_shared(const pointer<image::image> & pimage);
   // Whether the handle shows the pixels of that very picture.
   bool is_shared_with(int iImage, const image::image * pimage) const;
   // The surface of a handle, or null when the handle holds no image.
   surface_reference find(int iImage);
   // The image shrunk to `iWidth` x `iHeight` (smoothly, each pixel the average of the pixels it
   // covers), or null when the handle holds no image. The last
   // shrunk copy of each image is kept, so drawing the same image at one zoom again and again
   // shrinks it once, and after a change of part of the image only that part is shrunk again.
   surface_reference find_shrunk(int iImage, int iWidth, int iHeight);
   // The image's pixels were changed, all of them or those of `rectChanged`: its shrunk copy is
   // stale there, or is made again there at once (`remake_copies::now`), for a caller that
   // changes an image band by band and hands each band over while its pixels are in the cache.
   void mark_changed(int iImage);
   void mark_changed(int iImage, const rectangle_i32 & rectChanged, remake_copies when = remake_copies::when_needed);
   // The size of the image, without making pixels left to make; (0, 0) for a handle that holds none.
   size_type<int> size_of(int iImage);
   // How many times (1 or 2) the image's shrunk copy halves it exactly; 0 when it has no copy
   // or one of another size.
   int copy_halvings(int iImage);
   // Whether the image has a shrunk copy, which reads its pixels again when they change.
   bool has_shrunk_copy(int iImage) const;
   // Makes the shrunk copy under `rectSource` (whose edges lie on copy pixel edges) from `part`,
   // which holds the new pixels of `rectSource`, without them being in the image yet: they are
   // left for `make_pixels` to make, which is called with every part of the image so left, before
   // anything reads the image's own pixels (see `make_pending`). The maker must not use the store.
   using pixel_maker = std::function<void(const rectangle_i32 &)>;
   void make_copy_from_part(int iImage, const pixel_rows & part, const rectangle_i32 & rectSource, pixel_maker make_pixels);
   // Has the image's pixels left by `make_copy_from_part` made now.
   void make_pending(int iImage);
   // Frees the image; false when the handle held none.
   bool remove(int iImage);
   std::size_t count() const;

private:
   image_store() = default;

   struct stored_image
   {
      cairo_surface_t * m_psurface = nullptr;
      cairo_surface_t * m_psurfaceShrunk = nullptr;
      // The image pixels changed since the shrunk copy was made.
      rectangle_i32 m_rectStale;
      // The picture whose pixels `m_psurface` wraps, when the image is shared.
      pointer<image::image> m_pimageShared;
      // The image pixels not made yet (the shrunk copy shows them), and what makes them.
      rectangle_i32 m_rectPending;
      pixel_maker m_make_pending;
   };

   // How many times the image's shrunk copy halves it exactly (see `copy_halvings`).
   static int halvings_of(stored_image & image);
   // Makes the pixels left to make, when any lie in `rect`.
   static void make_pending_in(stored_image & image, const rectangle_i32 & rect);

   static void release(stored_image & image);
   // Shrinks the part of `psurface` in `rectChanged` into `pshrunk` again.
   static void shrink_again(cairo_surface_t * psurface, cairo_surface_t * pshrunk, const rectangle_i32 & rectChanged);
   // The surface of a shared picture follows the picture when it was made again elsewhere in
   // memory or at another size; null when the picture holds no pixels now.
   static cairo_surface_t * current_surface(stored_image & image);

   mutable std::mutex m_mutex;
   std::unordered_map<int, stored_image> m_images;
   int m_iLastHandle = 0;
};

} // namespace zel2d
