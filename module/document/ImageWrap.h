#pragma once

#include "orvo/geometry.h"
#include "orvo/pointer.h"
#include "orvo/string.h"

namespace image
{
class image;
}

namespace zel2d
{
class context;
}

namespace Tarvossa_BrisvanePro
{

// Owner of one image of the drawing library, by handle: filled from pixels (created, updated in
// place or re-created when the size changes) or loaded from a resource path on first use. The
// wrap does not keep a context; every operation that touches the image receives one. A handle
// the wrap drops (release, re-creation, destruction) is deleted from the library's image store.
class ImageWrap
{
public:
   ImageWrap() = default;
   ImageWrap(zel2d::context * pcontext, scoped_string_base strPath);
   ImageWrap(zel2d::context * pcontext, const char * pszPath);
   ImageWrap(const ImageWrap &) = delete;
   ImageWrap & operator=(const ImageWrap &) = delete;
   ~ImageWrap();

   // Drops the image and remembers the path; the picture loads on the next `defer_load_image`.
   void setData(scoped_string_base strPath);
   // Loads the remembered path when a context is given and no image is held; a failed load is
   // tried again on the next call.
   void defer_load_image(zel2d::context * pcontext);
   // Creates, updates in place, or re-creates the image from width x height pixels given in the
   // drawing library's layout `iLayout`. Without a context nothing happens.
   void setData(zel2d::context * pcontext, int iWidth, int iHeight, const void * ppixels, int iLayout);
   // The same from a whole image, in its own layout (packed, or the rows of the picture it lies
   // in); `pimage` must not be null.
   void setData(zel2d::context * pcontext, const image::image * pimage);
   // Shows the pixels of `pimage` themselves, with no copy, keeping a reference to the picture
   // while the image is held; called again after the pixels changed, all of them or those of
   // `rectChanged`. Without a context, or for a null picture, nothing happens.
   void share(zel2d::context * pcontext, const pointer<image::image> & pimage);
   void share(zel2d::context * pcontext, const pointer<image::image> & pimage, const rectangle_i32 & rectChanged);
   // Forgets the image and the path.
   void releaseImage();

   // The drawing library's handle; below 1 when no image is held.
   int handle() const noexcept { return m_iImage; }
   bool has_image() const noexcept { return m_iImage >= 1; }
   const string_base & path() const noexcept { return m_strPath; }

private:
   // One attempt of `setData`: true when the image now holds the pixels; false when creation
   // failed (the failed handle is kept) or the held image had another size (it is dropped).
   bool try_set_pixels(zel2d::context * pcontext, int iWidth, int iHeight, const void * ppixels, int iLayout);

   int m_iImage = -1;
   // The image shows a picture's own pixels: updating it from other pixels would write into the
   // picture, so those make an image of their own.
   bool m_bShared = false;
   string_base m_strPath;
};

} // namespace Tarvossa_BrisvanePro
