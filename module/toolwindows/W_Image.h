#pragma once

#include "document/ImageWrap.h"
#include "zel2d/context.h"
#include "zelui/Widget.h"

namespace Tarvossa_BrisvanePro
{

// A resource picture ("matter://res/NAME") stretched over the widget's rectangle, whose preferred
// size is W x H. The picture loads at the first draw that has a context (widgets are built before
// there is one), and a failed load is tried again at the next draw. Children are never drawn.
template <int W, int H>
class W_Image : public zelui::Widget
{
public:
   W_Image(zelui::Widget * pparent, zel2d::context * pcontext, scoped_string_base strPath) :
      zelui::Widget(pparent), m_imagewrap(pcontext, strPath)
   {
   }

   size_type<int> preferred_size(zel2d::context *) override { return {W, H}; }

   void draw(zel2d::context * pcontext) override
   {
      m_imagewrap.defer_load_image(pcontext);
      if (!pcontext)
      {
         return;
      }
      const float fx = static_cast<float>(x());
      const float fy = static_cast<float>(y());
      const float fw = static_cast<float>(width());
      const float fh = static_cast<float>(height());
      const zel2d::paint paint = pcontext->image_pattern(fx, fy, fw, fh, 0.0f, m_imagewrap.handle(), 1.0f);
      pcontext->begin_path();
      pcontext->rectangle(fx, fy, fw, fh);
      pcontext->set_fill_paint(paint);
      pcontext->fill();
   }

   const ImageWrap & image() const noexcept { return m_imagewrap; }

private:
   ImageWrap m_imagewrap;
};

} // namespace Tarvossa_BrisvanePro
