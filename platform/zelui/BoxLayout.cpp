#include "zelui/BoxLayout.h"

#include <algorithm>

#include "zelui/Widget.h"

namespace zelui
{

BoxLayout::BoxLayout(int iOrientation, int iAlignment, const rectangle_type<int> & margin, int iSpacing) :
   m_iOrientation(iOrientation), m_iAlignment(iAlignment), m_margin(margin), m_iSpacing(iSpacing)
{
}

BoxLayout::BoxLayout(int iOrientation, int iAlignment, int iMargin, int iSpacing) :
   BoxLayout(iOrientation, iAlignment, rectangle_type<int>{iMargin, iMargin, iMargin, iMargin}, iSpacing)
{
}

// The two axes of a size or point: along the layout (main) and across it (cross).
static int & main_of(size_type<int> & size, bool bVertical) { return bVertical ? size.height : size.width; }
static int & cross_of(size_type<int> & size, bool bVertical) { return bVertical ? size.width : size.height; }

size_type<int> BoxLayout::preferred_size(zel2d::context * pcontext, Widget * pwidget)
{
   bool bVertical = m_iOrientation == e_orientation_vertical;
   int iMarginMain = bVertical ? m_margin.top + m_margin.bottom : m_margin.left + m_margin.right;
   int iMarginCross = bVertical ? m_margin.left + m_margin.right : m_margin.top + m_margin.bottom;
   size_type<int> size;
   bool bFirst = true;
   for (auto & pchild : pwidget->children())
   {
      if (!pchild->visible())
      {
         continue;
      }
      size_type<int> target = target_size(pcontext, pchild.get());
      main_of(size, bVertical) += (bFirst ? 0 : m_iSpacing) + main_of(target, bVertical);
      cross_of(size, bVertical) = std::max(cross_of(size, bVertical), cross_of(target, bVertical));
      bFirst = false;
   }
   main_of(size, bVertical) += iMarginMain;
   cross_of(size, bVertical) += iMarginCross;
   size.height += header_height(pwidget);
   return size;
}

void BoxLayout::perform_layout(zel2d::context * pcontext, Widget * pwidget)
{
   bool bVertical = m_iOrientation == e_orientation_vertical;
   int iHeader = header_height(pwidget);
   size_type<int> sizeContainer = pwidget->size();
   if (pwidget->fixed_size().width > 0)
   {
      sizeContainer.width = pwidget->fixed_size().width;
   }
   if (pwidget->fixed_size().height > 0)
   {
      sizeContainer.height = pwidget->fixed_size().height;
   }
   // The inner area: the container less its margins and the title bar.
   int iLeft = m_margin.left;
   int iTop = m_margin.top + iHeader;
   int iInnerWidth = sizeContainer.width - m_margin.left - m_margin.right;
   int iInnerHeight = sizeContainer.height - m_margin.top - m_margin.bottom - iHeader;
   int iCrossStart = bVertical ? iLeft : iTop;
   int iCrossRoom = bVertical ? iInnerWidth : iInnerHeight;
   int iPosition = bVertical ? iTop : iLeft;
   bool bFirst = true;
   for (auto & pchild : std::vector<pointer<Widget>>(pwidget->children().begin(), pwidget->children().end()))
   {
      if (!pchild->visible())
      {
         continue;
      }
      if (!bFirst)
      {
         iPosition += m_iSpacing;
      }
      bFirst = false;
      size_type<int> target = target_size(pcontext, pchild.get());
      int iCross = iCrossStart;
      switch (m_iAlignment)
      {
      case e_alignment_middle:
         iCross += (iCrossRoom - cross_of(target, bVertical)) / 2;
         break;
      case e_alignment_maximum:
         iCross += iCrossRoom - cross_of(target, bVertical);
         break;
      case e_alignment_fill:
      {
         const size_type<int> & sizeFixed = pchild->fixed_size();
         int iFixedCross = bVertical ? sizeFixed.width : sizeFixed.height;
         cross_of(target, bVertical) = iFixedCross > 0 ? iFixedCross : iCrossRoom;
         break;
      }
      default:
         break;
      }
      pchild->set_position(bVertical ? point_type<int>{iCross, iPosition} : point_type<int>{iPosition, iCross});
      pchild->set_size(target);
      pchild->perform_layout(pcontext);
      iPosition += main_of(target, bVertical);
   }
}

} // namespace zelui
