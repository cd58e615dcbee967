#include <algorithm>
#include <climits>
#include <limits>
#include <optional>
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

// The whole-line rule, line by line. A run ends before a line that would take its load, or the
// load of its bounding rectangle, beyond the limit; a new run begins on the initial side.
template <typename AREA_LOAD>
class whole_line_rule
{
public:
   whole_line_rule(long long llLimit, bool bInitialReversed, AREA_LOAD area_load) :
      m_llLimit(llLimit), m_bInitialReversed(bInitialReversed), m_bReversed(bInitialReversed), m_area_load(area_load)
   {
   }

   // Takes the next line; returns whether it begins a run. `reversed` then tells its direction.
   // Throws when no run can hold the line.
   bool take_line(long long llLineLoad, const pixel_bounds & boundsLine)
   {
      if (m_bLineTaken)
      {
         m_bReversed = !m_bReversed;
      }
      if (llLineLoad > m_llLimit)
      {
         throw_over_limit();
      }
      m_boundsRun.widen(boundsLine);
      const long long llArea = m_area_load(m_boundsRun);
      if (llArea > m_llLimit && m_llPreviousArea == 0)
      {
         throw_over_limit();
      }
      const bool bNewRun = !m_bLineTaken || llArea > m_llLimit || m_llRunLoad + llLineLoad > m_llLimit;
      if (bNewRun)
      {
         m_llRunLoad = 0;
         m_bReversed = m_bInitialReversed;
         m_boundsRun = boundsLine;
      }
      m_bLineTaken = true;
      m_llRunLoad += llLineLoad;
      m_llPreviousArea = llArea;
      return bNewRun;
   }

   bool reversed() const { return m_bReversed; }

private:
   long long m_llLimit;
   bool m_bInitialReversed;
   bool m_bReversed;
   AREA_LOAD m_area_load;
   bool m_bLineTaken = false;
   pixel_bounds m_boundsRun;
   long long m_llPreviousArea = 0;
   long long m_llRunLoad = 0;
};

template <typename LINE_LOAD, typename AREA_LOAD>
void whole_line_runs(const line_plan & plan, long long llLimit, LINE_LOAD line_load, AREA_LOAD area_load, std::vector<datagram::box> & boxes)
{
   const std::size_t uFirst = boxes.size();
   whole_line_rule rule(llLimit, plan.bInitialReversed, area_load);
   for (const line & l : plan.lines)
   {
      const bool bNewRun = rule.take_line(line_load(l), bounds_of(l));
      if (bNewRun && boxes.size() > uFirst)
      {
         boxes.back().m_obEnd = true;
      }
      line lineTaken = oriented(l, rule.reversed());
      lineTaken.front().m_obStart = bNewRun ? std::optional<bool>(true) : std::nullopt;
      boxes.insert(boxes.end(), lineTaken.begin(), lineTaken.end());
   }
   if (boxes.size() > uFirst)
   {
      boxes.back().m_obEnd = true;
   }
}

// The per-box rule, box by box. A run takes box after box while its load stays within the
// limit, and a box that would take it beyond begins the next run. A box heavier than the limit
// is a run of its own. A line ends its run when the run could not take one more box of the size
// of the line's last box; the next run then begins on the initial side.
class per_box_rule
{
public:
   per_box_rule(long long llLimit, bool bInitialReversed) : m_llLimit(llLimit), m_bInitialReversed(bInitialReversed), m_bReversed(bInitialReversed) {}

   // Begins the next line; returns whether it is taken from its end.
   bool begin_line()
   {
      if (!m_bRunOpen)
      {
         m_bReversed = m_bInitialReversed;
      }
      return m_bReversed;
   }

   bool run_open() const { return m_bRunOpen; }

   // Takes one box; returns whether it begins a run (ending the open one, if any).
   bool take_box(long long llLoad)
   {
      if (m_bRunOpen && m_llRunLoad + llLoad > m_llLimit)
      {
         m_bRunOpen = false;
      }
      const bool bStarts = !m_bRunOpen;
      if (bStarts)
      {
         m_bRunOpen = true;
         m_llRunLoad = 0;
      }
      m_llRunLoad += llLoad;
      return bStarts;
   }

   // Takes `llCount` boxes of one load as `take_box` would one by one; returns how many runs
   // they begin. Once a box begins a run, every run holds the same number of boxes.
   long long take_boxes(long long llLoad, long long llCount)
   {
      long long llRuns = 0;
      if (llCount > 0)
      {
         llRuns += take_box(llLoad) ? 1 : 0;
         --llCount;
      }
      const long long llFitting = std::min(llCount, boxes_fitting(llLoad, m_llLimit - m_llRunLoad));
      m_llRunLoad += llFitting * llLoad;
      llCount -= llFitting;
      if (llCount == 0)
      {
         return llRuns;
      }
      // The next box begins a run, and so does every `llPerRun`-th box after it.
      const long long llFittingAfterFirst = boxes_fitting(llLoad, m_llLimit - llLoad);
      const long long llPerRun = llFittingAfterFirst >= llCount - 1 ? llCount : 1 + llFittingAfterFirst;
      llRuns += (llCount + llPerRun - 1) / llPerRun;
      m_llRunLoad = llLoad * ((llCount - 1) % llPerRun + 1);
      return llRuns;
   }

   // Ends the line that `llLastLoad` was the last box of; returns whether that ends the run.
   bool end_line(long long llLastLoad)
   {
      const bool bEnds = m_bRunOpen && m_llRunLoad + llLastLoad > m_llLimit;
      if (bEnds)
      {
         m_bRunOpen = false;
      }
      m_bReversed = !m_bReversed;
      return bEnds;
   }

private:
   // How many boxes of `llLoad` a run with `llRoom` left takes, up to every box there can be.
   static long long boxes_fitting(long long llLoad, long long llRoom)
   {
      constexpr long long llEvery = std::numeric_limits<long long>::max();
      if (llRoom < llLoad)
      {
         return 0;
      }
      return llLoad > 0 ? llRoom / llLoad : llEvery;
   }

   long long m_llLimit;
   bool m_bInitialReversed;
   bool m_bReversed;
   bool m_bRunOpen = false;
   long long m_llRunLoad = 0;
};

template <typename BOX_LOAD>
void per_box_runs(const line_plan & plan, long long llLimit, BOX_LOAD box_load, std::vector<datagram::box> & boxes)
{
   const std::size_t uFirst = boxes.size();
   per_box_rule rule(llLimit, plan.bInitialReversed);
   for (const line & l : plan.lines)
   {
      long long llLastLoad = 0;
      for (datagram::box box : oriented(l, rule.begin_line()))
      {
         llLastLoad = box_load(box);
         const bool bWasOpen = rule.run_open();
         const bool bStarts = rule.take_box(llLastLoad);
         if (bStarts && bWasOpen)
         {
            boxes.back().m_obEnd = true;
         }
         box.m_obStart = bStarts;
         box.m_obEnd = false;
         boxes.push_back(box);
      }
      if (rule.end_line(llLastLoad))
      {
         boxes.back().m_obEnd = true;
      }
   }
   if (boxes.size() > uFirst)
   {
      boxes.back().m_obEnd = true;
   }
}

// What a path's rule weighs against its limit: a box's pixels for the data path, the watts of a
// box for the power path; the area load counts the box places of a bounding rectangle in watts.
// A grid with boxes has a box size of at least 1.
struct path_loads
{
   bool bWatts = false;
   long long llWatts = 0;
   long long llBoxArea = 1;
   long long llLimit = 0;

   long long box(const datagram::box & box) const { return bWatts ? llWatts : static_cast<long long>(box.pixel_count()); }
   long long area(const pixel_bounds & bounds) const { return bWatts ? bounds.area() * llWatts / llBoxArea : bounds.area(); }

   long long line(const line & l) const
   {
      long long llLoad = 0;
      for (const auto & b : l)
      {
         llLoad += box(b);
      }
      return llLoad;
   }
};

path_loads loads_of(const snake_description & description, const snake * psnake)
{
   if (psnake->m_ekind == e_snake_data)
   {
      return {.llLimit = description.m_iLimit};
   }
   const boxes_layer & layer = *psnake->m_playerOwner;
   return {.bWatts = true,
           .llWatts = layer.PowerWatts,
           .llBoxArea = static_cast<long long>(layer.Width) * layer.Height,
           .llLimit = static_cast<long long>(layer.PowerVolts) * layer.WireAmps};
}

// The data path's first rule and the power path's second take whole lines; the others may end
// a run inside a line.
bool takes_whole_lines(const snake * psnake)
{
   const display_box & grid = *psnake->m_pdisplaybox;
   return psnake->m_ekind == e_snake_data ? grid.DataDiagramType == 0 : grid.PowerDiagramType != 0;
}

void build_whole_line_runs(const snake_description & description, const snake * psnake, std::vector<datagram::box> & boxes)
{
   const display_box & grid = *psnake->m_pdisplaybox;
   const path_loads loads = loads_of(description, psnake);
   const line_plan plan = collect_lines(description, psnake, [&](const datagram::box & box) { return grid.should_skip_box(box); });
   whole_line_runs(
      plan, loads.llLimit, [&](const line & l) { return loads.line(l); }, [&](const pixel_bounds & bounds) { return loads.area(bounds); }, boxes);
}

void build_per_box_runs(const snake_description & description, const snake * psnake, std::vector<datagram::box> & boxes)
{
   const display_box & grid = *psnake->m_pdisplaybox;
   const path_loads loads = loads_of(description, psnake);
   const line_plan plan = collect_lines(description, psnake, [&](const datagram::box & box) { return grid.ExcludeBoxes.contains(box.key()); });
   per_box_runs(plan, loads.llLimit, [&](const datagram::box & box) { return loads.box(box); }, boxes);
}

// Below 2^23 pixels every edge of a grid, half boxes included, is exact in a float: all boxes
// between the outer lines have the same size.
bool edges_are_exact(const display_box & grid)
{
   constexpr long long llExact = 1 << 23;
   return static_cast<long long>(grid.Columns) * grid.Width <= llExact && static_cast<long long>(grid.Rows) * grid.Height <= llExact;
}

// One line of a grid without boxes left out: its first box, the boxes between and its last box,
// in the order the grid counts them.
struct even_line
{
   datagram::box first;
   datagram::box middle;
   datagram::box last;
   long long llBoxes = 0;

   even_line(const display_box & grid, bool bByColumns, int iLine)
   {
      const int iAlong = bByColumns ? grid.Rows : grid.Columns;
      llBoxes = iAlong;
      first = box_at(grid, bByColumns, iLine, 0);
      middle = box_at(grid, bByColumns, iLine, std::min(1, iAlong - 1));
      last = box_at(grid, bByColumns, iLine, iAlong - 1);
   }

   long long load(const path_loads & loads) const
   {
      if (llBoxes == 1)
      {
         return loads.box(first);
      }
      return loads.box(first) + (llBoxes - 2) * loads.box(middle) + loads.box(last);
   }

   pixel_bounds bounds() const { return bounds_of(line{first, last}); }

   // Takes the line's boxes as the per-box rule takes them one by one; returns the runs they
   // begin.
   long long take(per_box_rule & rule, const path_loads & loads) const
   {
      const bool bReversed = rule.begin_line();
      const long long llOuter = loads.box(bReversed ? last : first);
      const long long llInner = loads.box(middle);
      const long long llOtherOuter = loads.box(bReversed ? first : last);
      long long llRuns = rule.take_boxes(llOuter, 1);
      if (llBoxes > 1)
      {
         llRuns += rule.take_boxes(llInner, llBoxes - 2);
         llRuns += rule.take_boxes(llOtherOuter, 1);
      }
      rule.end_line(llBoxes > 1 ? llOtherOuter : llOuter);
      return llRuns;
   }

private:
   static datagram::box box_at(const display_box & grid, bool bByColumns, int iLine, int iAlong)
   {
      datagram::box box;
      box.m_uColumn = static_cast<std::uint32_t>(bByColumns ? iLine : iAlong);
      box.m_uRow = static_cast<std::uint32_t>(bByColumns ? iAlong : iLine);
      grid.column_edges(box.m_uColumn, box.m_fX1, box.m_fX2);
      grid.row_edges(box.m_uRow, box.m_fY1, box.m_fY2);
      return box;
   }
};

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

// Each line is looked at once, its boxes by their three sizes: a grid of any number of boxes is
// counted in as many steps as it has lines.
std::optional<long long> snake_description::count_runs(const snake * psnake) const
{
   const display_box & grid = *psnake->m_pdisplaybox;
   if (!grid.has_boxes())
   {
      return 0;
   }
   if (m_iCustomPath != 0)
   {
      return std::count_if(custom_paths.begin(), custom_paths.end(), [](const std::vector<int> & path) { return !path.empty(); });
   }
   if (grid.count_excluded_inside_grid() != 0 || !edges_are_exact(grid))
   {
      return std::nullopt;
   }
   const bool bByColumns = mode_bit(m_iMode, 2);
   const bool bLinesReversed = mode_bit(m_iMode, bByColumns ? 0 : 1);
   const bool bInitialReversed = mode_bit(m_iMode, bByColumns ? 1 : 0);
   const int iLines = bByColumns ? grid.Columns : grid.Rows;
   const path_loads loads = loads_of(*this, psnake);
   const auto line_at = [&](int iTaken) { return even_line(grid, bByColumns, bLinesReversed ? iLines - 1 - iTaken : iTaken); };
   long long llRuns = 0;
   if (takes_whole_lines(psnake))
   {
      whole_line_rule rule(loads.llLimit, bInitialReversed, [&](const pixel_bounds & bounds) { return loads.area(bounds); });
      for (int i = 0; i < iLines; ++i)
      {
         const even_line l = line_at(i);
         llRuns += rule.take_line(l.load(loads), l.bounds()) ? 1 : 0;
      }
      return llRuns;
   }
   per_box_rule rule(loads.llLimit, bInitialReversed);
   for (int i = 0; i < iLines; ++i)
   {
      llRuns += line_at(i).take(rule, loads);
   }
   return llRuns;
}

void snake_description::_draw_data_snake_novastar(const snake * psnake, std::vector<datagram::box> & boxes) const
{
   build_whole_line_runs(*this, psnake, boxes);
}

void snake_description::_draw_data_snake_other(const snake * psnake, std::vector<datagram::box> & boxes) const
{
   build_per_box_runs(*this, psnake, boxes);
}

void snake_description::_draw_power_snake_maximize_power_use(const snake * psnake, std::vector<datagram::box> & boxes) const
{
   build_per_box_runs(*this, psnake, boxes);
}

void snake_description::_draw_power_snake_organized(const snake * psnake, std::vector<datagram::box> & boxes) const
{
   build_whole_line_runs(*this, psnake, boxes);
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
