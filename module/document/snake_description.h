#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "document/datagram.h"
#include "document/forward.h"
#include "orvo/color.h"
#include "orvo/function.h"
#include "orvo/string.h"
#include "zel2d/forward.h"

namespace Tarvossa_BrisvanePro
{

// The message of a path whose run cannot hold one of its lines.
inline constexpr const char * g_pszPanelsOverLimit = "Some panels consume more pixels then limit used.";

// The settings of one path of a screen layer (the data path or the power path), with the
// custom paths that the user draws box by box and that replace the computed path when the
// custom path switch is on.
class snake_description
{
public:
   // The walk's callback: x1, y1, x2, y2, column, row, index (always -1). Returning true stops
   // the walk.
   using box_callback = function<bool(float, float, float, float, std::uint16_t, std::uint16_t, int)>;

   color::color m_color{255, 255, 255, 255};
   // Line width in pixels.
   int m_iWidth = 8;
   // Pixels per data port.
   int m_iLimit = 655360;
   // Path pattern 0..7.
   int m_iMode = 6;
   int m_iUseRandomColor = 0;
   // On: the custom paths replace the computed path.
   int m_iCustomPath = 0;
   // Paths of box keys, each in path order.
   std::vector<std::vector<int>> custom_paths;

   snake_description() = default;
   explicit snake_description(color::color color) : m_color(color) {}

   // Visits every box of the snake's layer, excluded ones too, row by row or column by column,
   // each line counted upwards; stops at the first callback that returns true, and returns
   // whether one did.
   bool for_each_box(const box_callback & callback, const snake * psnake, bool bByColumns) const;
   // The same walk, row by row, over only the columns and rows that the windows meet
   // (`display_box::columns_met`, `rows_met`): a search of a grid of any size costs the boxes met.
   bool for_each_box_met(const box_callback & callback, const snake * psnake, const edge_window & columns, const edge_window & rows) const;

   // The path of `psnake`'s layer in path order, with the first and last box of every run marked
   // (not numbered): the custom paths when they are switched on, else the builder that the
   // layer's diagram type chooses for the snake's kind. Throws std::runtime_error with
   // `g_pszPanelsOverLimit` when a run cannot hold a line.
   std::vector<datagram::box> build_boxes(const snake * psnake) const;
   // The number of runs `build_boxes` marks, worked out without building the path, for a grid
   // without boxes left out (or custom paths); none for any other. Throws as `build_boxes` does.
   std::optional<long long> count_runs(const snake * psnake) const;

   // The builders; they append to `boxes`. Data: runs of whole lines, loads in pixels, or runs
   // that may end inside a line. Power: the same two rules with loads in watts.
   void _draw_data_snake_novastar(const snake * psnake, std::vector<datagram::box> & boxes) const;
   void _draw_data_snake_other(const snake * psnake, std::vector<datagram::box> & boxes) const;
   void _draw_power_snake_maximize_power_use(const snake * psnake, std::vector<datagram::box> & boxes) const;
   void _draw_power_snake_organized(const snake * psnake, std::vector<datagram::box> & boxes) const;
   // Every non-empty custom path is one run, in order.
   void custom_path_boxes(const snake * psnake, std::vector<datagram::box> & boxes) const;

   // Builds the path again (`build_boxes`), numbers its runs on from the layer's first run number,
   // keeps the boxes in `psnake` and strokes the lines of every run into the layer's offscreen
   // image. Throws as `build_boxes` does.
   void _draw_snake(zel2d::context * pcontext, snake * psnake) const;

   // Draws the arrows of the last drawing of the path (`_draw_snake`) into the layer's offscreen
   // image: every run's first box points to the next box and carries its start connector's label,
   // every third box of a run points on, and a data run's last box points back with its end
   // connector's label. A box that is a run of its own gets both.
   void _draw_snake_triangles(zel2d::context * pcontext, snake * psnake) const;
   // One arrow at (x, y) from `box` towards `other`, with the label of the run's connector for a
   // start or end arrow; a power run has no end arrow. The arrow's shape comes from `pstamps`;
   // without them it is filled as a path, which stays the context's current path. The fill
   // colour is left as the arrow's.
   void _draw_triangle(zel2d::context * pcontext, snake * psnake, arrow_stamps * pstamps, float x, float y, const datagram::box & box,
                       const datagram::box & other, bool bStart, bool bEnd) const;

   // The paths as text: keys joined by ",", paths joined by "|". Reading tells whether every key
   // was taken as written; one that was not (no number, letters after it, beyond 32 bits) is
   // read as far as it goes.
   string_base get_custom_path_string() const;
   bool set_custom_path_string(scoped_string_base str);

   // Largest column or row named in any custom path; -1 when there is none.
   int get_max_override_col() const;
   int get_max_override_row() const;
   // Removes, whole, every custom path that reaches column or row n or beyond.
   void clear_by_max_cols(int n);
   void clear_by_max_rows(int n);
};

// Colour i of the fixed colour sequence, for paths drawn in a colour per run.
color::color get_indexed_data_path_color(long long i);

} // namespace Tarvossa_BrisvanePro
