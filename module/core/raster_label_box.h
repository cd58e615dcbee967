#pragma once

#include "core/forward.h"
#include "orvo/string_array.h"

namespace zel2d
{
class context;
}

namespace Tarvossa_BrisvanePro
{

// The raster label as the frame shows it: its lines, and its box measured in the label's font.
// Two equal boxes draw the same pixels.
struct raster_label_box
{
   string_array_base m_lines;
   float m_fFontSize = 1.f;
   float m_fWidth = 0.f;
   float m_fHeight = 0.f;
   float m_fLineHeight = 0.f;
   // The box's place on the raster.
   int m_iX = 0;
   int m_iY = 0;

   bool operator==(const raster_label_box &) const = default;

   // Measures the document's label (its lines with 10 pixels around them) as drawing into a
   // picture measures it; a box that touched the raster's right or bottom edge is moved to keep
   // touching it. The document is left as it is.
   static raster_label_box measured(project & document, zel2d::context * pcontext);
   // The same, and the box's size and place are stored in the document.
   static raster_label_box measure(project & document, zel2d::context * pcontext);

   // A translucent black box with the lines in white, centred, one under the other.
   void draw(zel2d::context * pcontext) const;
};

} // namespace Tarvossa_BrisvanePro
