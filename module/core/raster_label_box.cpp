#include "core/raster_label_box.h"

#include <algorithm>

#include "document/OffscreenDraw.h"
#include "document/project.h"
#include "orvo/geometry.h"
#include "orvo/image.h"
#include "zel2d/context.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

constexpr float label_margin = 10.0f;

void set_label_font(zel2d::context * pcontext, float fFontSize)
{
   pcontext->set_font_size(fFontSize);
   pcontext->set_font_face("sans");
}

} // namespace

raster_label_box raster_label_box::measured(project & document, zel2d::context * pcontext)
{
   raster_label_box box;
   document.get_raster_label_lines(box.m_lines);
   box.m_fFontSize = std::max(1.0f, static_cast<float>(document.m_iRasterLabelFontSize));
   {
      // Text is measured in a fresh context on a picture, as the frame draws it.
      image::image scratch(1, 1);
      OffscreenDraw offscreen(pcontext, &scratch);
      set_label_font(pcontext, box.m_fFontSize);
      float fWidest = 0.f;
      for (const auto & strLine : box.m_lines)
      {
         float bounds[4] = {};
         fWidest = std::max(fWidest, pcontext->text_bounds(0.f, 0.f, strLine, bounds));
         box.m_fLineHeight = std::max(box.m_fLineHeight, bounds[3] - bounds[1]);
      }
      box.m_fWidth = fWidest + 2 * label_margin;
   }
   box.m_fHeight = static_cast<float>(box.m_lines.count()) * box.m_fLineHeight + 2 * label_margin;
   box.m_iX = document.is_raster_label_flush_right() ? document.get_paper_width() - saturated_int(box.m_fWidth) : document.m_iRasterLabelX;
   box.m_iY = document.is_raster_label_flush_bottom() ? document.get_paper_height() - saturated_int(box.m_fHeight) : document.m_iRasterLabelY;
   return box;
}

raster_label_box raster_label_box::measure(project & document, zel2d::context * pcontext)
{
   raster_label_box box = measured(document, pcontext);
   document.m_iRasterLabelBoxWidth = saturated_int(box.m_fWidth);
   document.m_iRasterLabelBoxHeight = saturated_int(box.m_fHeight);
   document.m_iRasterLabelX = box.m_iX;
   document.m_iRasterLabelY = box.m_iY;
   return box;
}

void raster_label_box::draw(zel2d::context * pcontext) const
{
   const auto fX = static_cast<float>(m_iX);
   const auto fY = static_cast<float>(m_iY);
   set_label_font(pcontext, m_fFontSize);
   pcontext->begin_path();
   pcontext->rectangle(fX, fY, m_fWidth, m_fHeight);
   pcontext->set_fill_color(color::color(0, 0, 0, 127));
   pcontext->fill();
   pcontext->set_text_align(zel2d::align_center | zel2d::align_middle);
   pcontext->set_fill_color(color::color(255, 255, 255, 255));
   float yLine = fY + m_fLineHeight * 0.5f + label_margin;
   for (const auto & strLine : m_lines)
   {
      if (!strLine.empty())
      {
         pcontext->text(fX + m_fWidth * 0.5f, yLine, strLine);
      }
      yLine += m_fLineHeight;
   }
}

} // namespace Tarvossa_BrisvanePro
