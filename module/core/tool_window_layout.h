#pragma once

#include <array>

#include "orvo/geometry.h"
#include "orvo/payload.h"
#include "orvo/string.h"

namespace Tarvossa_BrisvanePro
{

// Where the six tool windows stand and whether each shows while a screen layer is current (its
// stored visibility, not whether it shows now), as the layout file keeps them between runs.
struct tool_window_layout
{
   // The windows in the file's order: "Screen Info", "Labels", "Colors", "Power",
   // "Data-Flow Diagram", "Raster Label".
   enum enum_window
   {
      e_window_boxes,
      e_window_labels,
      e_window_colors,
      e_window_power,
      e_window_snake,
      e_window_raster,
      e_window_count,
   };

   struct entry
   {
      point_type<int> m_point;
      bool m_bVisible = false;

      bool operator==(const entry &) const = default;
   };

   std::array<entry, e_window_count> m_entries;

   // The key prefix of a window ("boxes", "labels", ...).
   static const char * prefix(enum_window ewindow);

   // The arrangement of the menu's reset: fixed places, every window shown.
   static tool_window_layout reset_layout();

   // The 18 keys "PREFIX_x", "PREFIX_y", "PREFIX_visible" in the file's order.
   property_set get_property_set() const;
   // A text holding "{" anywhere is read as a network payload, any other as INI. Whatever cannot
   // be read gives 0 for a place and false for a visibility.
   static tool_window_layout from_text(scoped_string_base strText);

   bool operator==(const tool_window_layout &) const = default;
};

} // namespace Tarvossa_BrisvanePro
