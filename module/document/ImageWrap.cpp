#include "document/ImageWrap.h"

#include "orvo/image.h"
#include "zel2d/context.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

// The drawing library keeps one image store for the whole process, so any context can delete a
// handle. This one serves the wraps, which hold no context of their own; it lives until the end.
zel2d::context & image_store()
{
   static zel2d::context * s_pcontext = [] {
      auto * pcontext = new zel2d::context();
      pcontext->increment_reference_count();
      return pcontext;
   }();
   return *s_pcontext;
}

} // namespace

ImageWrap::ImageWrap(zel2d::context *, scoped_string_base strPath)
{
   setData(strPath);
}

ImageWrap::ImageWrap(zel2d::context *, const char * pszPath)
{
   setData(pszPath == nullptr ? scoped_string_base() : scoped_string_base(pszPath));
}

ImageWrap::~ImageWrap()
{
   releaseImage();
}

void ImageWrap::setData(scoped_string_base strPath)
{
   releaseImage();
   m_strPath = strPath;
}

void ImageWrap::defer_load_image(zel2d::context * pcontext)
{
   if (pcontext == nullptr || m_iImage >= 1 || m_strPath.empty())
   {
      return;
   }
   m_iImage = pcontext->create_image(m_strPath, 0);
}

void ImageWrap::setData(zel2d::context * pcontext, int iWidth, int iHeight, const void * ppixels, int iLayout)
{
   if (pcontext == nullptr)
   {
      return;
   }
   if (m_bShared)
   {
      releaseImage();
   }
   // A failed creation is tried once more; a size change drops the image, so the second attempt
   // creates one of the new size.
   if (!try_set_pixels(pcontext, iWidth, iHeight, ppixels, iLayout))
   {
      try_set_pixels(pcontext, iWidth, iHeight, ppixels, iLayout);
   }
}

bool ImageWrap::try_set_pixels(zel2d::context * pcontext, int iWidth, int iHeight, const void * ppixels, int iLayout)
{
   if (m_iImage < 1)
   {
      m_iImage = pcontext->create_image_rgba(iWidth, iHeight, 0, ppixels, iLayout);
      if (m_iImage < 1)
      {
         return false;
      }
   }
   if (pcontext->image_size(m_iImage) == size_type<int>{iWidth, iHeight})
   {
      pcontext->update_image(m_iImage, ppixels, iLayout);
      return true;
   }
   releaseImage();
   return false;
}

void ImageWrap::setData(zel2d::context * pcontext, const image::image * pimage)
{
   setData(pcontext, pimage->width(), pimage->height(), pimage->data(), pimage->layout());
}

void ImageWrap::share(zel2d::context * pcontext, const pointer<image::image> & pimage)
{
   share(pcontext, pimage, {0, 0, pimage ? pimage->width() : 0, pimage ? pimage->height() : 0});
}

void ImageWrap::share(zel2d::context * pcontext, const pointer<image::image> & pimage, const rectangle_i32 & rectChanged)
{
   if (pcontext == nullptr || !pimage)
   {
      return;
   }
   if (m_iImage >= 1 && pcontext->is_image_shared_with(m_iImage, pimage.get()))
   {
      pcontext->image_changed(m_iImage, rectChanged);
      return;
   }
   releaseImage();
   m_iImage = pcontext->create_image_shared(pimage);
   m_bShared = m_iImage >= 1;
}

void ImageWrap::releaseImage()
{
   if (m_iImage >= 1)
   {
      image_store().delete_image(m_iImage);
   }
   m_iImage = -1;
   m_bShared = false;
   m_strPath.clear();
}

} // namespace Tarvossa_BrisvanePro
