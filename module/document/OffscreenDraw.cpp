#include "document/OffscreenDraw.h"

#include "orvo/exception.h"
#include "orvo/image.h"
#include "orvo/string.h"
#include "zel2d/draw2d_context.h"
#include "zel2d/font_sink.h"
#include "zel2d/graphics.h"

namespace Tarvossa_BrisvanePro
{

OffscreenDraw::OffscreenDraw(zel2d::context *& pcontextCurrent, image::image * pimageTarget) :
   m_pcontextCurrent(pcontextCurrent),
   m_pcontextPrevious(pcontextCurrent),
   m_pdraw2dcontext(make_pointer<zel2d::draw2d_context>(pcontextCurrent))
{
   m_pdraw2dcontext->set_graphics(make_pointer<draw2d::graphics>(pimageTarget));
   if (m_pcontextPrevious != nullptr)
   {
      m_pdraw2dcontext->set_font_sink(m_pcontextPrevious->get_font_sink());
      m_pdraw2dcontext->set_text_listener(m_pcontextPrevious->get_text_listener());
   }
   m_pcontextCurrent = m_pdraw2dcontext.get();
}

OffscreenDraw::~OffscreenDraw()
{
   m_pcontextCurrent = m_pcontextPrevious;
}

pointer<image::image> OffscreenDraw::make_target(int iWidth, int iHeight)
{
   if (image::image::is_size_allowed(iWidth, iHeight) && !draw2d::graphics::can_draw_into(iWidth, iHeight))
   {
      throw exception(error_out_of_range, format("cannot make a picture of %d x %d pixels to draw into: at most %d per side", iWidth, iHeight,
                                                 draw2d::graphics::max_side));
   }
   return make_pointer<image::image>(iWidth, iHeight);
}

} // namespace Tarvossa_BrisvanePro
