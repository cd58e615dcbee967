#include "zelui/GridLayout.h"

#include <algorithm>
#include <numeric>

#include "zelui/Widget.h"

namespace zelui
{

GridLayout::GridLayout(int iOrientation, int iResolution, int iAlignment, int iMargin, int iSpacing) :
   m_iOrientation(iOrientation), m_iResolution(std::max(iResolution, 1)), m_iAlignment(iAlignment), m_iMargin(iMargin),
   m_iSpacing(iSpacing)
{
}

// The visible children in the order they fill the cells.
static std::vector<Widget *> visible_children(Widget * pwidget)
{
   std::vector<Widget *> children;
   for (auto & pchild : pwidget->children())
   {
      if (pchild->visible())
      {
         children.push_back(pchild.get());
      }
   }
   return children;
}

void GridLayout::compute_cells(zel2d::context * pcontext, Widget * pwidget, std::vector<int> & columns, std::vector<int> & rows)
{
   std::vector<Widget *> children = visible_children(pwidget);
   auto n = static_cast<int>(children.size());
   int iLines = (n + m_iResolution - 1) / m_iResolution;
   bool bHorizontal = m_iOrientation == e_orientation_horizontal;
   columns.assign(static_cast<std::size_t>(bHorizontal ? m_iResolution : iLines), 0);
   rows.assign(static_cast<std::size_t>(bHorizontal ? iLines : m_iResolution), 0);
   for (int i = 0; i < n; ++i)
   {
      int iColumn = bHorizontal ? i % m_iResolution : i / m_iResolution;
      int iRow = bHorizontal ? i / m_iResolution : i % m_iResolution;
      size_type<int> target = target_size(pcontext, children[static_cast<std::size_t>(i)]);
      columns[static_cast<std::size_t>(iColumn)] = std::max(columns[static_cast<std::size_t>(iColumn)], target.width);
      rows[static_cast<std::size_t>(iRow)] = std::max(rows[static_cast<std::size_t>(iRow)], target.height);
   }
}

// The total of the cells with the spacing between them.
static int span(const std::vector<int> & cells, int iSpacing)
{
   return std::accumulate(cells.begin(), cells.end(), 0) + (cells.empty() ? 0 : iSpacing * static_cast<int>(cells.size() - 1));
}

size_type<int> GridLayout::preferred_size(zel2d::context * pcontext, Widget * pwidget)
{
   std::vector<int> columns, rows;
   compute_cells(pcontext, pwidget, columns, rows);
   return {2 * m_iMargin + span(columns, m_iSpacing), 2 * m_iMargin + span(rows, m_iSpacing) + header_height(pwidget)};
}

void GridLayout::perform_layout(zel2d::context * pcontext, Widget * pwidget)
{
   std::vector<int> columns, rows;
   compute_cells(pcontext, pwidget, columns, rows);
   std::vector<Widget *> children = visible_children(pwidget);
   bool bHorizontal = m_iOrientation == e_orientation_horizontal;
   // Cell origins along each axis.
   std::vector<int> columnStarts(columns.size()), rowStarts(rows.size());
   int iX = m_iMargin;
   for (std::size_t c = 0; c < columns.size(); ++c)
   {
      columnStarts[c] = iX;
      iX += columns[c] + m_iSpacing;
   }
   int iY = m_iMargin + header_height(pwidget);
   for (std::size_t r = 0; r < rows.size(); ++r)
   {
      rowStarts[r] = iY;
      iY += rows[r] + m_iSpacing;
   }
   for (std::size_t i = 0; i < children.size(); ++i)
   {
      auto index = static_cast<int>(i);
      auto c = static_cast<std::size_t>(bHorizontal ? index % m_iResolution : index / m_iResolution);
      auto r = static_cast<std::size_t>(bHorizontal ? index / m_iResolution : index % m_iResolution);
      Widget * pchild = children[i];
      size_type<int> target = target_size(pcontext, pchild);
      point_type<int> position{columnStarts[c], rowStarts[r]};
      switch (m_iAlignment)
      {
      case e_alignment_middle:
         position.x += (columns[c] - target.width) / 2;
         position.y += (rows[r] - target.height) / 2;
         break;
      case e_alignment_maximum:
         position.x += columns[c] - target.width;
         position.y += rows[r] - target.height;
         break;
      case e_alignment_fill:
         target.width = pchild->fixed_size().width > 0 ? pchild->fixed_size().width : columns[c];
         target.height = pchild->fixed_size().height > 0 ? pchild->fixed_size().height : rows[r];
         break;
      default:
         break;
      }
      pchild->set_position(position);
      pchild->set_size(target);
      pchild->perform_layout(pcontext);
   }
}

} // namespace zelui
