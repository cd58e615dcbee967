#pragma once

#include "orvo/geometry.h"
#include "zelui/Layout.h"

namespace zelui
{

// Children one after the other along the orientation, `spacing` apart, inside the margins
// (left, top, right, bottom); across it they are aligned by `alignment`.
class BoxLayout : public Layout
{
public:
   BoxLayout(int iOrientation, int iAlignment = e_alignment_middle, const rectangle_type<int> & margin = {},
             int iSpacing = 0);
   BoxLayout(int iOrientation, int iAlignment, int iMargin, int iSpacing = 0);

   size_type<int> preferred_size(zel2d::context * pcontext, Widget * pwidget) override;
   void perform_layout(zel2d::context * pcontext, Widget * pwidget) override;

   int orientation() const noexcept { return m_iOrientation; }
   int alignment() const noexcept { return m_iAlignment; }
   const rectangle_type<int> & margin() const noexcept { return m_margin; }
   int spacing() const noexcept { return m_iSpacing; }

private:
   int m_iOrientation;
   int m_iAlignment;
   rectangle_type<int> m_margin;
   int m_iSpacing;
};

} // namespace zelui
