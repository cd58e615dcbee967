#include <algorithm>
#include <climits>
#include <stdexcept>

#include "document/boxes_layer.h"
#include "document/snake.h"
#include "document/snake_description.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

using line = std::vector<datagram::box>;

// The lines of a path in the order they are taken, and whether the first run takes its first
// line from the line's end.
struct line_plan
{
   std::vector<line> lines;
   bool bInitialReversed = false;
};

bool mode_bit(int iMode, int iBit)
{
   return ((iMode >> iBit) & 1) != 0;
}

// The rows (or, with mode bit 2, the columns) of the grid, each in walk order, without the boxes
// that `leave_out` names. A line whose every box is left out does not count as a line: the next
// one takes its place.
template <typename LEAVE_OUT>
line_plan collect_lines(const snake_description & description, const snake * psnake, LEAVE_OUT leave_out)
{
   const int iMode = description.m_iMode;
   const bool bByColumns = mode_bit(iMode, 2);
   line_plan plan;
   std::optional<std::uint16_t> ouPreviousKey;
   description.for_each_box(
      [&](float x1, float y1, float x2, float y2, std::uint16_t uColumn, std::uint16_t uRow, int) {
         const std::uint16_t uKey = bByColumns ? uColumn : uRow;
         if (ouPreviousKey != uKey && (plan.lines.empty() || !plan.lines.back().empty()))
         {
            plan.lines.emplace_back();
         }
         ouPreviousKey = uKey;
         datagram::box box;
         box.m_uColumn = uColumn;
         box.m_uRow = uRow;
         box.m_fX1 = x1;
         box.m_fY1 = y1;
         box.m_fX2 = x2;
         box.m_fY2 = y2;
         if (!leave_out(box))
         {
            plan.lines.back().push_back(box);
         }
         return false;
      },
      psnake, bByColumns);
   std::erase_if(plan.lines, [](const line & l) { return l.empty(); });
   if (mode_bit(iMode, bByColumns ? 0 : 1))
   {
      std::reverse(plan.lines.begin(), plan.lines.end());
   }
   plan.bInitialReversed = mode_bit(iMode, bByColumns ? 1 : 0);
   return plan;
}

line oriented(const line & l, bool bReversed)
{
   return bReversed ? line(l.rbegin(), l.rend()) : l;
}

// A bounding rectangle of box edges truncated to whole pixels; areas in 64 bits.
struct pixel_bounds
{
   long long left = INT_MAX;
   long long top = INT_MAX;
   long long right = INT_MIN;
   long long bottom = INT_MIN;

   void widen(const pixel_bounds & other)
   {
      left = std::min(left, other.left);
      top = std::min(top, other.top);
      right = std::max(right, other.right);
      bottom = std::max(bottom, other.bottom);
   }

   long long area() const { return (bottom - top) * (right - left); }
};

pixel_bounds bounds_of(const line & l)
{
   pixel_bounds bounds;
   for (const auto & box : l)
   {
      bounds.widen({static_cast<int>(box.m_fX1), static_cast<int>(box.m_fY1), static_cast<int>(box.m_fX2), static_cast<int>(box.m_fY2)});
   }
   return bounds;
}

[[noreturn]] void throw_over_limit()
{
   throw std::runtime_error(g_pszPanelsOverLimit);
}

// Runs of whole lines. A run ends before a line that would take its load, or the load of its
// bounding rectangle, beyond the limit; a new run begins on the initial side.
template <typename LINE_LOAD, typename AREA_LOAD>
void whole_line_runs(const line_plan & plan, long long llLimit, LINE_LOAD line_load, AREA_LOAD area_load, std::vector<datagram::box> & boxes)
{
   const std::size_t uFirst = boxes.size();
   pixel_bounds boundsRun;
   long long llPreviousArea = 0;
   long long llRunLoad = 0;
   bool bReversed = plan.bInitialReversed;
   for (const line & l : plan.lines)
   {
      const long long llLineLoad = line_load(l);
      const pixel_bounds boundsLine = bounds_of(l);
      if (llLineLoad > llLimit)
      {
         throw_over_limit();
      }
      boundsRun.widen(boundsLine);
      const long long llArea = area_load(boundsRun);
      if (llArea > llLimit && llPreviousArea == 0)
      {
         throw_over_limit();
      }
      const bool bNewRun = boxes.size() == uFirst || llArea > llLimit || llRunLoad + llLineLoad > llLimit;
      if (bNewRun)
      {
         llRunLoad = 0;
         bReversed = plan.bInitialReversed;
         boundsRun = boundsLine;
         if (boxes.size() > uFirst)
         {
            boxes.back().m_obEnd = true;
         }
      }
      line lineTaken = oriented(l, bReversed);
      lineTaken.front().m_obStart = bNewRun ? std::optional<bool>(true) : std::nullopt;
      boxes.insert(boxes.end(), lineTaken.begin(), lineTaken.end());
      bReversed = !bReversed;
      llRunLoad += llLineLoad;
      llPreviousArea = llArea;
   }
   if (boxes.size() > uFirst)
   {
      boxes.back().m_obEnd = true;
   }
}

// Runs that may end inside a line: a run takes box after box while its load stays within the
// limit, and a box that would take it beyond begins the next run. A box heavier than the limit
// is a run of its own. A line ends its run when the run could not take one more box of the size
// of the line's last box; the next run then begins on the initial side.
template <typename BOX_LOAD>
void per_box_runs(const line_plan & plan, long long llLimit, BOX_LOAD box_load, std::vector<datagram::box> & boxes)
{
   const std::size_t uFirst = boxes.size();
   bool bRunOpen = false;
   long long llRunLoad = 0;
   bool bReversed = plan.bInitialReversed;
   for (const line & l : plan.lines)
   {
      if (!bRunOpen)
      {
         bReversed = plan.bInitialReversed;
      }
      long long llLastLoad = 0;
      for (datagram::box box : oriented(l, bReversed))
      {
         llLastLoad = box_load(box);
         if (bRunOpen && llRunLoad + llLastLoad > llLimit)
         {
            boxes.back().m_obEnd = true;
            bRunOpen = false;
         }
         box.m_obStart = !bRunOpen;
         box.m_obEnd = false;
         if (!bRunOpen)
         {
            bRunOpen = true;
            llRunLoad = 0;
         }
         llRunLoad += llLastLoad;
         boxes.push_back(box);
      }
      if (bRunOpen && llRunLoad + llLastLoad > llLimit)
      {
         boxes.back().m_obEnd = true;
         bRunOpen = false;
      }
      bReversed = !bReversed;
   }
   if (boxes.size() > uFirst)
   {
      boxes.back().m_obEnd = true;
   }
}

long long pixels_of(const datagram::box & box)
{
   return box.pixel_count();
}

long long pixels_of(const line & l)
{
   long long llPixels = 0;
   for (const auto & box : l)
   {
      llPixels += pixels_of(box);
   }
   return llPixels;
}

long long circuit_capacity(const boxes_layer & layer)
{
   return static_cast<long long>(layer.PowerVolts) * layer.WireAmps;
}

} // namespace

std::vector<datagram::box> snake_description::build_boxes(const snake * psnake) const
{
   std::vector<datagram::box> boxes;
   if (m_iCustomPath != 0)
   {
      custom_path_boxes(psnake, boxes);
   }
   else if (psnake->m_ekind == e_snake_data)
   {
      psnake->m_pdisplaybox->DataDiagramType == 0 ? _draw_data_snake_novastar(psnake, boxes) : _draw_data_snake_other(psnake, boxes);
   }
   else
   {
      psnake->m_pdisplaybox->PowerDiagramType == 0 ? _draw_power_snake_maximize_power_use(psnake, boxes)
                                                   : _draw_power_snake_organized(psnake, boxes);
   }
   return boxes;
}

void snake_description::_draw_data_snake_novastar(const snake * psnake, std::vector<datagram::box> & boxes) const
{
   const display_box & grid = *psnake->m_pdisplaybox;
   const line_plan plan = collect_lines(*this, psnake, [&](const datagram::box & box) { return grid.should_skip_box(box); });
   whole_line_runs(
      plan, m_iLimit, [](const line & l) { return pixels_of(l); }, [](const pixel_bounds & bounds) { return bounds.area(); }, boxes);
}

void snake_description::_draw_data_snake_other(const snake * psnake, std::vector<datagram::box> & boxes) const
{
   const display_box & grid = *psnake->m_pdisplaybox;
   const line_plan plan = collect_lines(*this, psnake, [&](const datagram::box & box) { return grid.ExcludeBoxes.contains(box.key()); });
   per_box_runs(plan, m_iLimit, [](const datagram::box & box) { return pixels_of(box); }, boxes);
}

void snake_description::_draw_power_snake_maximize_power_use(const snake * psnake, std::vector<datagram::box> & boxes) const
{
   const boxes_layer & layer = *psnake->m_playerOwner;
   const line_plan plan = collect_lines(*this, psnake, [&](const datagram::box & box) { return layer.ExcludeBoxes.contains(box.key()); });
   const long long llWatts = layer.PowerWatts;
   per_box_runs(plan, circuit_capacity(layer), [=](const datagram::box &) { return llWatts; }, boxes);
}

// The area load counts the box places of the circuit's bounding rectangle; the grid has boxes,
// so their size is not 0.
void snake_description::_draw_power_snake_organized(const snake * psnake, std::vector<datagram::box> & boxes) const
{
   const boxes_layer & layer = *psnake->m_playerOwner;
   const line_plan plan = collect_lines(*this, psnake, [&](const datagram::box & box) { return layer.should_skip_box(box); });
   const long long llWatts = layer.PowerWatts;
   const long long llBoxArea = static_cast<long long>(layer.Width) * layer.Height;
   whole_line_runs(
      plan, circuit_capacity(layer), [=](const line & l) { return llWatts * static_cast<long long>(l.size()); },
      [=](const pixel_bounds & bounds) { return bounds.area() * llWatts / llBoxArea; }, boxes);
}

void snake_description::custom_path_boxes(const snake * psnake, std::vector<datagram::box> & boxes) const
{
   const display_box & grid = *psnake->m_pdisplaybox;
   if (!grid.has_boxes())
   {
      return;
   }
   for (const auto & path : custom_paths)
   {
      for (std::size_t i = 0; i < path.size(); ++i)
      {
         datagram::box box = grid.box_from_key(path[i]);
         box.m_obStart = i == 0;
         box.m_obEnd = i + 1 == path.size();
         boxes.push_back(box);
      }
   }
}

} // namespace Tarvossa_BrisvanePro
