#pragma once

#include <mutex>
#include <utility>
#include <vector>

#include "orvo/color.h"
#include "toolwindows/SettingsBaseWindow.h"
#include "zelui/Button.h"
#include "zelui/ColorPicker.h"

namespace Tarvossa_BrisvanePro
{

// The six default colours of new rows of the "Colors" window, row k taking entry k mod 6.
extern const color::color g_colortablea[6];

// The "Colors" tool window: one row per entry of the current screen layer's box colours, the
// colour on the left and its tint on the right. "Add" appends a row, "Delete" hides the last one.
// Every change writes both whole lists of the layer anew from the pickers, and so does filling
// the window from a layer. Rows are made on first need and never destroyed: a row that comes back
// has the colours it had.
class SettingsBoxesColors : public SettingsBaseWindow
{
public:
   // The "Add" and "Delete" buttons.
   class ControlBox : public zelui::Widget
   {
   public:
      ControlBox(zelui::Widget * pparent, Global * pglobal);
      ~ControlBox() override;

      zelui::Button * m_pbuttonAdd = nullptr;
      zelui::Button * m_pbuttonDelete = nullptr;
   };

   // The picker rows: colour picker and tint picker of row k at index k.
   class ColorGrid : public zelui::Widget
   {
   public:
      ColorGrid(zelui::Widget * pparent, Global * pglobal);
      ~ColorGrid() override;

      std::vector<std::pair<zelui::ColorPicker *, zelui::ColorPicker *>> m_pairs;
   };

   SettingsBoxesColors(zelui::Widget * pparent, Global * pglobal);
   ~SettingsBoxesColors() override;

   void call_draw(zel2d::context * pcontext) override;
   void draw(zel2d::context * pcontext) override;
   void get_settings_from_layer(const pointer<boxes_layer> & player) override;

   // The pickers of a row below the row count, after making the missing rows up to the count;
   // throws `exception` for any other row.
   std::pair<zelui::ColorPicker *, zelui::ColorPicker *> color_picker_pair(int iRow);
   // Write the layer's colours (tints) from the pickers of every row, with `color` in place of
   // row `iRow`'s picker (-1: none replaced).
   void syncColorsToLayer(int iRow, color::color color);
   void syncTintColorsToLayer(int iRow, color::color color);
   // Both lists from the pickers, the rows below the count shown and the others hidden, "Delete"
   // enabled while there is a row, and the window sized to its rows on the next frame.
   void update_visibility();

   static const size_type<int> & getButtonSize();

   long long row_count() const noexcept { return m_iRowCount; }

   ControlBox * m_pcontrolbox = nullptr;
   ColorGrid * m_pcolorgrid = nullptr;

private:
   // Writes one list from the pickers of one side (first: colours, second: tints).
   void sync_list_to_layer(int iRow, color::color color, bool bTints);
   // The rows made since the last fill join the focus order.
   void add_new_rows_to_tab_order();

   long long m_iRowCount = 0;
   std::size_t m_uRowsInTabOrder = 0;
   std::mutex m_mutexSync;
};

} // namespace Tarvossa_BrisvanePro
