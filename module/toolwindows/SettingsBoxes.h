#pragma once

#include "toolwindows/SettingsBaseWindow.h"
#include "toolwindows/W_Image.h"
#include "toolwindows/forward.h"
#include "zelui/ColorPicker.h"
#include "zelui/ComboBox.h"
#include "zelui/FloatBox.h"
#include "zelui/IntBox.h"
#include "zelui/Label.h"
#include "zelui/ToolButton.h"

namespace Tarvossa_BrisvanePro
{

// The "Screen Info" tool window: the geometry and the basic drawing switches of the current screen
// layer. Size boxes take arithmetic expressions; the columns and rows ask before a smaller grid
// deletes custom paths that would fall outside it, and a rotation moves the layer back onto the
// raster where the turned layer would leave it at the top, the bottom or the left.
class SettingsBoxes : public SettingsBaseWindow
{
public:
   // The controls of one grid cell, in a row.
   class MyBoxWidget : public zelui::Widget
   {
   public:
      explicit MyBoxWidget(zelui::Widget * pparent);
      ~MyBoxWidget() override;
   };

   SettingsBoxes(zelui::Widget * pparent, Global * pglobal);
   ~SettingsBoxes() override;

   void get_settings_from_layer(const pointer<boxes_layer> & player) override;
   // The four half check boxes from the bits of `HalfColumns`; `player` must not be null.
   void update_half_checkboxes(const pointer<boxes_layer> & player);

   // The value of a typed arithmetic expression, truncated toward zero; 0 when it is no number.
   static int calc_dimension(scoped_string_base strText);
   // The same as a float; 0 when it is no number or negative.
   static float calc_float_dimension(scoped_string_base strText);

   // The controls, for whoever drives the window.
   zelui::TextBox * m_ptextboxOffsetX = nullptr;
   zelui::TextBox * m_ptextboxOffsetY = nullptr;
   zelui::TextBox * m_ptextboxWidth = nullptr;
   zelui::TextBox * m_ptextboxHeight = nullptr;
   zelui::TextBox * m_ptextboxColumns = nullptr;
   zelui::TextBox * m_ptextboxRows = nullptr;
   zelui::TextBox * m_ptextboxPhysWidth = nullptr;
   zelui::TextBox * m_ptextboxPhysHeight = nullptr;
   zelui::FloatBox<float> * m_pfloatboxWeight = nullptr;
   zelui::ToolButton * m_pbuttonKg = nullptr;
   zelui::ToolButton * m_pbuttonLb = nullptr;
   CheckboxWithFocus * m_pcheckboxScreenWeight = nullptr;
   CheckboxWithFocus * m_pcheckboxDiagonal = nullptr;
   zelui::ComboBox * m_pcomboDiagonalUnit = nullptr;
   CheckboxWithFocus * m_pcheckboxHalfFirstColumn = nullptr;
   CheckboxWithFocus * m_pcheckboxHalfLastColumn = nullptr;
   CheckboxWithFocus * m_pcheckboxHalfFirstRow = nullptr;
   CheckboxWithFocus * m_pcheckboxHalfLastRow = nullptr;
   zelui::FloatBox<float> * m_pfloatboxRotation = nullptr;
   zelui::IntBox<int> * m_pintboxBorder = nullptr;
   CheckboxWithFocus * m_pcheckboxBorder = nullptr;
   zelui::ColorPicker * m_pcolorpickerBorder = nullptr;
   zelui::IntBox<int> * m_pintboxCircle = nullptr;
   CheckboxWithFocus * m_pcheckboxCircle = nullptr;
   zelui::IntBox<int> * m_pintboxNamesSize = nullptr;
   zelui::ColorPicker * m_pcolorpickerNames = nullptr;
   CheckboxWithFocus * m_pcheckboxNamesForward = nullptr;
   CheckboxWithFocus * m_pcheckboxNamesReverse = nullptr;

private:
   // A caption, then the box in the window or, with `bContainer`, in a new row container.
   template <typename BOX>
   BOX * addTextBox(scoped_string_base strCaption, bool bContainer);
   zelui::Label * add_caption(zelui::Widget * pparent, scoped_string_base strCaption);
   void install_callbacks_handlers();
   void install_layer_callbacks();
   void install_text_callbacks();

   // Whether the layer would stay within the pixels a layer may have (the text reader's bound) with
   // the value in the field; when not, an error says so.
   bool accepts_grid_value(const boxes_layer & layer, int display_box::*pfield, int iValue) const;
   // Column and row edits (they may ask first), and their application.
   bool on_grid_count_text(scoped_string_base strText, bool bColumns);
   void apply_grid_count(const pointer<boxes_layer> & player, bool bColumns, int iCount, bool bClearPaths);
   // The rotation edit.
   void on_rotation(float fDegrees);
   // The weight unit buttons: "kg" multiplies by the pound's weight, "lb" divides.
   void on_weight_unit(scoped_string_base strUnit);
   // A name direction check box: names on or off, written in reverse or not.
   void on_names_direction(CheckboxWithFocus * ppartner, bool bOn, bool bReverse);
};

} // namespace Tarvossa_BrisvanePro
