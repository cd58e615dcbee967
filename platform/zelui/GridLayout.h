#pragma once

#include <vector>

#include "zelui/Layout.h"

namespace zelui
{

// Children in a grid, filled along the orientation: horizontal fills rows of `iResolution`
// columns, vertical fills columns of `iResolution` rows. A column is as wide as its widest child
// and a row as high as its highest; `alignment` places each child in its cell.
class GridLayout : public Layout
{
public:
   GridLayout(int iOrientation = e_orientation_horizontal, int iResolution = 2, int iAlignment = e_alignment_middle,
              int iMargin = 0, int iSpacing = 0);

   size_type<int> preferred_size(zel2d::context * pcontext, Widget * pwidget) override;
   void perform_layout(zel2d::context * pcontext, Widget * pwidget) override;

   int resolution() const noexcept { return m_iResolution; }

private:
   // Widths of the columns and heights of the rows the visible children need.
   void compute_cells(zel2d::context * pcontext, Widget * pwidget, std::vector<int> & columns, std::vector<int> & rows);

   int m_iOrientation;
   int m_iResolution;
   int m_iAlignment;
   int m_iMargin;
   int m_iSpacing;
};

} // namespace zelui
