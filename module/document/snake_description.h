#pragma once

#include <cstdint>
#include <vector>

#include "orvo/color.h"
#include "orvo/function.h"
#include "orvo/string.h"

namespace Tarvossa_BrisvanePro
{

class snake;

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

   // The paths as text: keys joined by ",", paths joined by "|".
   string_base get_custom_path_string() const;
   void set_custom_path_string(scoped_string_base str);

   // Largest column or row named in any custom path; -1 when there is none.
   int get_max_override_col() const;
   int get_max_override_row() const;
   // Removes, whole, every custom path that reaches column or row n or beyond.
   void clear_by_max_cols(int n);
   void clear_by_max_rows(int n);
};

} // namespace Tarvossa_BrisvanePro
