#include "document/OffscreenDraw.h"

#include "orvo/image.h"
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

} // namespace Tarvossa_BrisvanePro
