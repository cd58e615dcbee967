#pragma once

#include "orvo/pointer.h"

namespace image
{
class image;
}

namespace zel2d
{
class context;
class draw2d_context;
}

namespace Tarvossa_BrisvanePro
{

// For one scope, points the caller's context variable at a context that draws into an image,
// and puts the previous context back when the scope ends. Scopes nest. The offscreen context
// shares the fonts and the text listener of the previous one.
class OffscreenDraw
{
public:
   // When the offscreen context cannot be set up, the exception passes on and `pcontextCurrent`
   // is left as it was.
   OffscreenDraw(zel2d::context *& pcontextCurrent, image::image * pimageTarget);
   OffscreenDraw(const OffscreenDraw &) = delete;
   OffscreenDraw & operator=(const OffscreenDraw &) = delete;
   ~OffscreenDraw();

   // A picture of that size, every pixel transparent, that a context can draw into. Throws
   // `exception` saying why, in the words of the picture service, when no such picture can be made.
   static pointer<image::image> make_target(int iWidth, int iHeight);

private:
   zel2d::context *& m_pcontextCurrent;
   zel2d::context * m_pcontextPrevious;
   pointer<zel2d::draw2d_context> m_pdraw2dcontext;
};

} // namespace Tarvossa_BrisvanePro
