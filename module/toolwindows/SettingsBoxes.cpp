#include "toolwindows/SettingsBoxes.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <numbers>
#include <string>

#include "core/screen_link.h"
#include "document/boxes_layer.h"
#include "document/project.h"
#include "orvo/tinyexpr.h"
#include "panels/CheckboxWithFocus.h"
#include "panels/NOP.h"
#include "zelui/BoxLayout.h"
#include "zelui/GridLayout.h"
#include "zelui/MessageDialog.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

constexpr float g_fKilogramsPerPound = 0.45359236f;
constexpr int g_iFontSize = 14;
const color::color g_colorPickerInitial(0, 0, 255, 255);
const char * const g_pszaDiagonalUnits[] = {"inch", "feet", "meter"};

bool equals_ignoring_case(const string_base & str, const char * psz)
{
   const std::string strOther(psz);
   return str.size() == strOther.size() &&
          std::equal(str.begin(), str.end(), strOther.begin(),
                     [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b)); });
}

int diagonal_unit_index(const string_base & strUnit)
{
   if (equals_ignoring_case(strUnit, "meter"))
   {
      return 2;
   }
   return equals_ignoring_case(strUnit, "feet") ? 1 : 0;
}

// A whole number in decimal, as the size boxes show it.
string_base decimal(int i)
{
   return std::to_string(i);
}

} // namespace

SettingsBoxes::MyBoxWidget::MyBoxWidget(zelui::Widget * pparent) : zelui::Widget(pparent)
{
   set_layout(new zelui::BoxLayout(zelui::e_orientation_horizontal, zelui::e_alignment_minimum, 0, 1));
}

SettingsBoxes::MyBoxWidget::~MyBoxWidget() = default;

SettingsBoxes::SettingsBoxes(zelui::Widget * pparent, Global * pglobal) : SettingsBaseWindow(pparent, pglobal, "Screen Info")
{
   set_layout(new zelui::GridLayout(zelui::e_orientation_horizontal, 2, zelui::e_alignment_fill, 5, 2));
   set_size({250, 500});

   m_ptextboxOffsetX = addTextBox<zelui::TextBox>("Offset X", false);
   m_ptextboxOffsetY = addTextBox<zelui::TextBox>("Offset Y", false);
   m_ptextboxWidth = addTextBox<zelui::TextBox>("Cabinet Width", false);
   m_ptextboxHeight = addTextBox<zelui::TextBox>("Cabinet Height", false);
   m_ptextboxColumns = addTextBox<zelui::TextBox>("Screen Columns", false);
   m_ptextboxRows = addTextBox<zelui::TextBox>("Screen Rows", false);
   m_ptextboxPhysWidth = addTextBox<zelui::TextBox>("Panel Width  (mm)", false);
   m_ptextboxPhysHeight = addTextBox<zelui::TextBox>("Panel Height (mm)", false);

   add_caption(this, "Weight per Panel");
   auto * pboxWeight = new MyBoxWidget(this);
   m_pfloatboxWeight = new zelui::FloatBox<float>(pboxWeight, 20.0f);
   m_pfloatboxWeight->set_editable(true);
   m_pfloatboxWeight->set_font_size(g_iFontSize);
   m_pfloatboxWeight->set_units("lb");
   m_pfloatboxWeight->set_fixed_size({70, 25});
   m_pbuttonKg = new zelui::ToolButton(pboxWeight, 0, "kg");
   m_pbuttonLb = new zelui::ToolButton(pboxWeight, 0, "lb");
   m_pbuttonLb->set_pushed(true);

   add_caption(this, "Screen Weight");
   m_pcheckboxScreenWeight = new CheckboxWithFocus(this, "", {});

   add_caption(this, "Screen Diagonal");
   auto * pboxDiagonal = new MyBoxWidget(this);
   m_pcheckboxDiagonal = new CheckboxWithFocus(pboxDiagonal, "", {});
   m_pcomboDiagonalUnit = new zelui::ComboBox(pboxDiagonal, {"inch", "feet", "meter"});

   m_pcheckboxHalfFirstColumn = new CheckboxWithFocus(this, "Half First Column", {});
   m_pcheckboxHalfLastColumn = new CheckboxWithFocus(this, "Half Last Column", {});
   m_pcheckboxHalfFirstRow = new CheckboxWithFocus(this, "Half First Row", {});
   m_pcheckboxHalfLastRow = new CheckboxWithFocus(this, "Half Last Row", {});

   add_caption(this, "Rotation (degrees)");
   m_pfloatboxRotation = new zelui::FloatBox<float>(this, 0.0f);
   m_pfloatboxRotation->set_editable(true);
   m_pfloatboxRotation->set_font_size(g_iFontSize);
   m_pfloatboxRotation->set_units("°");

   m_pintboxBorder = addTextBox<zelui::IntBox<int>>("Border", true);
   m_pcheckboxBorder = new CheckboxWithFocus(m_pintboxBorder->parent(), "", {});
   m_pcolorpickerBorder = new zelui::ColorPicker(m_pintboxBorder->parent(), g_colorPickerInitial);

   m_pintboxCircle = addTextBox<zelui::IntBox<int>>("Circle with X", true);
   m_pcheckboxCircle = new CheckboxWithFocus(m_pintboxCircle->parent(), "", {});

   m_pintboxNamesSize = addTextBox<zelui::IntBox<int>>("Cabinet ID", true);
   m_pcolorpickerNames = new zelui::ColorPicker(m_pintboxNamesSize->parent(), g_colorPickerInitial);

   new NOP(this, 5, 5);
   auto * pboxNames = new MyBoxWidget(this);
   zel2d::context * pcontext = m_pglobal ? m_pglobal->getContext() : nullptr;
   m_pcheckboxNamesForward = new CheckboxWithFocus(pboxNames, "", {});
   new W_Image<24, 24>(pboxNames, pcontext, "matter://res/d.png");
   m_pcheckboxNamesReverse = new CheckboxWithFocus(pboxNames, "", {});
   new W_Image<24, 24>(pboxNames, pcontext, "matter://res/s.png");

   install_callbacks_handlers();
   add_children_to_tab_order<MyBoxWidget>(children());
   setTextBoxesFixedSize({40, 22});
   m_ptextboxPhysWidth->set_fixed_size({50, 22});
   m_ptextboxPhysHeight->set_fixed_size({50, 22});
}

SettingsBoxes::~SettingsBoxes() = default;

zelui::Label * SettingsBoxes::add_caption(zelui::Widget * pparent, scoped_string_base strCaption)
{
   return new zelui::Label(pparent, strCaption, "sans", g_iFontSize);
}

template <typename BOX>
BOX * SettingsBoxes::addTextBox(scoped_string_base strCaption, bool bContainer)
{
   add_caption(this, strCaption);
   zelui::Widget * pparent = bContainer ? static_cast<zelui::Widget *>(new MyBoxWidget(this)) : this;
   BOX * pbox = nullptr;
   if constexpr (std::is_same_v<BOX, zelui::TextBox>)
   {
      pbox = new zelui::TextBox(pparent, "Untitled");
   }
   else
   {
      pbox = new BOX(pparent, 0);
   }
   pbox->set_editable(true);
   pbox->set_font_size(g_iFontSize);
   return pbox;
}

int SettingsBoxes::calc_dimension(scoped_string_base strText)
{
   const double dValue = tinyexpr::te_interp(strText, nullptr);
   if (std::isnan(dValue))
   {
      return 0;
   }
   // Out of an int's range the conversion would be undefined: hold the value within it.
   return static_cast<int>(std::clamp(std::trunc(dValue), -2147483648.0, 2147483647.0));
}

float SettingsBoxes::calc_float_dimension(scoped_string_base strText)
{
   const double dValue = tinyexpr::te_interp(strText, nullptr);
   if (std::isnan(dValue) || dValue < 0.0)
   {
      return 0.0f;
   }
   return static_cast<float>(dValue);
}

void SettingsBoxes::install_callbacks_handlers()
{
   install_layer_callbacks();
   install_text_callbacks();
}

void SettingsBoxes::install_layer_callbacks()
{
   // Each writes one field of the current screen layer; without one it does nothing.
   auto half = [this](std::size_t uBit, std::size_t uPartner)
   {
      return [this, uBit, uPartner](bool bOn)
      {
         if (change_layer(layer_change::look, [&](boxes_layer & layer) { layer.set_half_pair(uBit, uPartner, bOn); }))
         {
            update_half_checkboxes(current_boxes_layer());
         }
      };
   };
   m_pcheckboxHalfFirstColumn->set_callback(half(e_half_first_column, e_half_last_column));
   m_pcheckboxHalfLastColumn->set_callback(half(e_half_last_column, e_half_first_column));
   m_pcheckboxHalfFirstRow->set_callback(half(e_half_first_row, e_half_last_row));
   m_pcheckboxHalfLastRow->set_callback(half(e_half_last_row, e_half_first_row));
   // A border width is held within the bounds that the layer's text reads back, and the box shows
   // the width kept.
   m_pintboxBorder->set_callback([this, write = write_to_layer([](boxes_layer & layer, int i) { layer.GridWidth = i; })](int iWidth)
   {
      const int iKept = std::clamp(iWidth, 0, boxes_layer::max_grid_width);
      m_pintboxBorder->set_value(iKept, e_source_sync);
      write(iKept);
   });
   m_pcolorpickerBorder->set_callback(
      write_to_layer([](boxes_layer & layer, const color::hls & hls) { layer.BoxBorderColor = color::color(hls, 255); }));
   m_pcheckboxBorder->set_callback(write_to_layer([](boxes_layer & layer, bool b) { layer.DrawGrid = b ? 1 : 0; }));
   m_pcheckboxCircle->set_callback(write_to_layer([](boxes_layer & layer, bool b) { layer.DrawCircle = b ? 1 : 0; }));
   m_pintboxCircle->set_callback(write_to_layer([](boxes_layer & layer, int i) { layer.CircleWidth = i; }));
   m_pcheckboxNamesForward->set_callback([this](bool bOn) { on_names_direction(m_pcheckboxNamesReverse, bOn, false); });
   m_pcheckboxNamesReverse->set_callback([this](bool bOn) { on_names_direction(m_pcheckboxNamesForward, bOn, bOn); });
   m_pcolorpickerNames->set_callback(
      write_to_layer([](boxes_layer & layer, const color::hls & hls) { layer.BoxesNamesColor = color::color(hls, 255); }));
   m_pintboxNamesSize->set_callback(write_to_layer([](boxes_layer & layer, int i) { layer.BoxesNamesFontSize = i; }));
}

void SettingsBoxes::install_text_callbacks()
{
   // An integer box shows the evaluated value first, then writes it into the layer.
   auto integer_text = [](zelui::TextBox * ptextbox, auto write)
   {
      ptextbox->set_callback([ptextbox, write](scoped_string_base strText)
      {
         const int iValue = calc_dimension(strText);
         ptextbox->set_value(decimal(iValue), e_source_sync);
         write(iValue);
         return true;
      });
   };
   auto millimetre_text = [this](zelui::TextBox * ptextbox, float BoxesLayerDescription::*pfield)
   {
      ptextbox->set_callback([this, ptextbox, pfield](scoped_string_base strText)
      {
         const float fValue = calc_float_dimension(strText);
         ptextbox->set_value(format("%0.1f", static_cast<double>(fValue)), e_source_sync);
         change_layer(layer_change::look, [&](boxes_layer & layer) { layer.*pfield = fValue; });
         return true;
      });
   };
   // A box size is held within the bounds that the layer's text reads back; a size that would make
   // the layer larger than a layer may be is not taken, and the box shows the size kept.
   auto box_size_text = [this](zelui::TextBox * ptextbox, int display_box::*pfield)
   {
      ptextbox->set_callback([this, ptextbox, pfield](scoped_string_base strText)
      {
         const int iValue = std::clamp(calc_dimension(strText), 0, boxes_layer::max_box_size);
         pointer<boxes_layer> player = current_boxes_layer();
         if (player && accepts_grid_value(*player, pfield, iValue))
         {
            change_layer(layer_change::look, [&](boxes_layer & layer) { layer.*pfield = iValue; });
         }
         ptextbox->set_value(decimal(player ? (*player).*pfield : iValue), e_source_sync);
         return true;
      });
   };
   integer_text(m_ptextboxOffsetX, write_to_layer([](boxes_layer & layer, int i) { layer.set_offset_x(i); }, layer_change::place));
   integer_text(m_ptextboxOffsetY, write_to_layer([](boxes_layer & layer, int i) { layer.set_offset_y(i); }, layer_change::place));
   box_size_text(m_ptextboxWidth, &BoxesLayerDescription::Width);
   box_size_text(m_ptextboxHeight, &BoxesLayerDescription::Height);
   m_ptextboxColumns->set_callback([this](scoped_string_base strText) { return on_grid_count_text(strText, true); });
   m_ptextboxRows->set_callback([this](scoped_string_base strText) { return on_grid_count_text(strText, false); });
   millimetre_text(m_ptextboxPhysWidth, &BoxesLayerDescription::PhysW);
   millimetre_text(m_ptextboxPhysHeight, &BoxesLayerDescription::PhysH);
   m_pfloatboxWeight->set_callback(write_to_layer([](boxes_layer & layer, float fWeight) { layer.WeightPerPanel = fWeight; }));
   m_pbuttonKg->set_callback([this] { on_weight_unit("kg"); });
   m_pbuttonLb->set_callback([this] { on_weight_unit("lb"); });
   m_pcheckboxScreenWeight->set_callback(write_to_layer([](boxes_layer & layer, bool b) { layer.ShowScreenWeight = b ? 1 : 0; }));
   m_pcheckboxDiagonal->set_callback(write_to_layer([](boxes_layer & layer, bool b) { layer.ShowScreenDiagonal = b ? 1 : 0; }));
   m_pcomboDiagonalUnit->set_callback([this](int iIndex)
   {
      if (iIndex >= 0 && iIndex < static_cast<int>(std::size(g_pszaDiagonalUnits)))
      {
         change_layer(layer_change::look, [iIndex](boxes_layer & layer) { layer.ScreenDiagonalUnit = g_pszaDiagonalUnits[iIndex]; });
      }
   });
   m_pfloatboxRotation->set_callback([this](float fDegrees) { on_rotation(fDegrees); });
}

void SettingsBoxes::on_names_direction(CheckboxWithFocus * ppartner, bool bOn, bool bReverse)
{
   ppartner->set_checked(false, e_source_sync);
   change_layer(layer_change::look, [bOn, bReverse](boxes_layer & layer)
   {
      layer.DrawBoxesNames = bOn ? 1 : 0;
      layer.BoxesNamesReverse = bReverse ? 1 : 0;
   });
}

void SettingsBoxes::on_weight_unit(scoped_string_base strUnit)
{
   pointer<boxes_layer> player = current_boxes_layer();
   if (!player || player->WeightPerPanelUnit == strUnit)
   {
      return;
   }
   m_pfloatboxWeight->set_units(strUnit);
   change_layer(layer_change::look, [&strUnit](boxes_layer & layer)
   {
      layer.WeightPerPanelUnit = strUnit;
      layer.WeightPerPanel = strUnit == "kg" ? layer.WeightPerPanel * g_fKilogramsPerPound : layer.WeightPerPanel / g_fKilogramsPerPound;
   });
   m_pfloatboxWeight->set_value(player->WeightPerPanel, e_source_sync);
}

bool SettingsBoxes::on_grid_count_text(scoped_string_base strText, bool bColumns)
{
   // Within the bounds that the layer's text reads back: box keys hold 16 bits of column and row.
   const int iCount = std::clamp(calc_dimension(strText), 0, boxes_layer::max_grid_count);
   pointer<boxes_layer> player = current_boxes_layer();
   if (!player)
   {
      return true;
   }
   const int iOld = bColumns ? player->Columns : player->Rows;
   if (!accepts_grid_value(*player, bColumns ? &BoxesLayerDescription::Columns : &BoxesLayerDescription::Rows, iCount))
   {
      (bColumns ? m_ptextboxColumns : m_ptextboxRows)->set_value(decimal(iOld), e_source_sync);
      return true;
   }
   auto reach = [bColumns](const snake_description & description)
   {
      return bColumns ? description.get_max_override_col() : description.get_max_override_row();
   };
   const int iData = reach(player->m_descriptionData);
   const int iPower = reach(player->m_descriptionPower);
   const bool bPathsOutside = (iData >= iCount && iData >= 1) || (iPower >= iCount && iPower >= 1);
   if (iOld <= iCount || !bPathsOutside)
   {
      apply_grid_count(player, bColumns, iCount, false);
      return true;
   }
   zelui::Widget * pdialogParent = screen() ? static_cast<zelui::Widget *>(screen()) : this;
   auto * pdialog = new zelui::MessageDialog(
      pdialogParent, zelui::MessageDialog::e_type_warning, "Clear Custom Path",
      "There are Custom paths that will totally or partially be outside the layer. Those Custom Paths will be deleted "
      "if layer is shrinked. Do you want to continue?",
      "Yes", "No", zelui::MessageDialog::e_two_buttons);
   pdialog->set_callback([this, player, bColumns, iOld, iCount](int iButton)
   {
      if (iButton == 0)
      {
         apply_grid_count(player, bColumns, iCount, true);
         return;
      }
      (bColumns ? m_ptextboxColumns : m_ptextboxRows)->set_value(decimal(iOld), e_source_sync);
   });
   pdialog->center();
   request_layout_and_redraw();
   return true;
}

bool SettingsBoxes::accepts_grid_value(const boxes_layer & layer, int display_box::*pfield, int iValue) const
{
   // The layer's grid size with the value asked for; the layer itself is left as it is.
   display_box grid;
   grid.Width = layer.Width;
   grid.Height = layer.Height;
   grid.Columns = layer.Columns;
   grid.Rows = layer.Rows;
   grid.HalfColumns = layer.HalfColumns;
   grid.*pfield = iValue;
   if (boxes_layer::is_within_pixel_limit(grid))
   {
      return true;
   }
   m_pglobal->show_error(
      format("A screen layer of %d x %d boxes of %d x %d pixels would have more than the %lld pixels a layer may have, so "
             "%d was not taken.",
             grid.Columns, grid.Rows, grid.Width, grid.Height, boxes_layer::max_pixel_count, iValue));
   return false;
}

void SettingsBoxes::apply_grid_count(const pointer<boxes_layer> & player, bool bColumns, int iCount, bool bClearPaths)
{
   (bColumns ? m_ptextboxColumns : m_ptextboxRows)->set_value(decimal(iCount), e_source_sync);
   // The layer asked about, which the answer to the question may find no longer current.
   player->change(layer_change::look, [&]
   {
      if (bClearPaths)
      {
         for (snake_description * pdescription : {&player->m_descriptionData, &player->m_descriptionPower})
         {
            bColumns ? pdescription->clear_by_max_cols(iCount) : pdescription->clear_by_max_rows(iCount);
         }
      }
      (bColumns ? player->Columns : player->Rows) = iCount;
   });
   auto * pmainscreen = dynamic_cast<screen_link *>(screen());
   if (!pmainscreen)
   {
      return;
   }
   pmainscreen->update_power_amperes();
   pmainscreen->set_right_panel_dirty();
   pmainscreen->set_need_redraw();
   pmainscreen->post_redraw();
}

void SettingsBoxes::on_rotation(float fDegrees)
{
   pointer<boxes_layer> player = current_boxes_layer();
   if (!player)
   {
      return;
   }
   const project * pproject = player->get_document();
   const double dRasterHeight = pproject ? pproject->get_paper_height() : 0.0;
   const double x = player->get_offset_x();
   const double y = player->get_offset_y();
   const double w = player->get_width();
   const double h = player->get_height();
   const float fRadians = static_cast<float>(static_cast<double>(fDegrees) * std::numbers::pi / 180.0);
   const double dCos = std::cos(static_cast<double>(fRadians));
   const double dSin = std::sin(static_cast<double>(fRadians));
   double dLeft = INFINITY;
   double dTop = INFINITY;
   double dBottom = -INFINITY;
   for (const auto & [px, py] : {std::pair{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}})
   {
      const double dTurnedX = std::trunc(px * dCos - py * dSin);
      const double dTurnedY = std::trunc(px * dSin + py * dCos);
      dLeft = std::min(dLeft, dTurnedX);
      dTop = std::min(dTop, dTurnedY);
      dBottom = std::max(dBottom, dTurnedY);
   }
   // The offsets that bring the turned layer back are held within int's range: a layer near the
   // 32-bit bounds may need more.
   bool bMoved = false;
   player->change(layer_change::look, [&]
   {
      if (pproject)
      {
         if (dTop < 0.0 && dBottom <= dRasterHeight)
         {
            player->set_offset_y(saturated_int(-dTop));
            bMoved = true;
         }
         else if (dTop >= 0.0 && dBottom > dRasterHeight)
         {
            player->set_offset_y(saturated_int(dRasterHeight - h));
            bMoved = true;
         }
         if (dLeft < 0.0)
         {
            player->set_offset_x(saturated_int(-dLeft));
            bMoved = true;
         }
      }
      player->set_rotation(fRadians);
   });
   if (bMoved)
   {
      get_settings_from_layer(player);
   }
}

void SettingsBoxes::update_half_checkboxes(const pointer<boxes_layer> & player)
{
   m_pcheckboxHalfFirstColumn->set_checked(player->HalfColumns.test(e_half_first_column), e_source_sync);
   m_pcheckboxHalfLastColumn->set_checked(player->HalfColumns.test(e_half_last_column), e_source_sync);
   m_pcheckboxHalfFirstRow->set_checked(player->HalfColumns.test(e_half_first_row), e_source_sync);
   m_pcheckboxHalfLastRow->set_checked(player->HalfColumns.test(e_half_last_row), e_source_sync);
}

void SettingsBoxes::get_settings_from_layer(const pointer<boxes_layer> & player)
{
   if (!player)
   {
      return;
   }
   m_ptextboxOffsetX->set_value(decimal(player->get_offset_x()), e_source_sync);
   m_ptextboxOffsetY->set_value(decimal(player->get_offset_y()), e_source_sync);
   m_ptextboxWidth->set_value(decimal(player->Width), e_source_sync);
   m_ptextboxHeight->set_value(decimal(player->Height), e_source_sync);
   m_ptextboxColumns->set_value(decimal(player->Columns), e_source_sync);
   m_ptextboxRows->set_value(decimal(player->Rows), e_source_sync);
   m_pcolorpickerBorder->set_color(player->BoxBorderColor.get_hls());
   m_pintboxBorder->set_value(player->GridWidth, e_source_sync);
   m_pcheckboxBorder->set_checked(player->DrawGrid != 0, e_source_sync);
   m_pcheckboxCircle->set_checked(player->DrawCircle != 0, e_source_sync);
   m_pintboxCircle->set_value(player->CircleWidth, e_source_sync);
   m_pcheckboxNamesForward->set_checked(player->DrawBoxesNames != 0 && player->BoxesNamesReverse == 0, e_source_sync);
   m_pcheckboxNamesReverse->set_checked(player->DrawBoxesNames != 0 && player->BoxesNamesReverse != 0, e_source_sync);
   m_pcolorpickerNames->set_color(player->BoxesNamesColor.get_hls());
   m_pintboxNamesSize->set_value(static_cast<int>(player->BoxesNamesFontSize), e_source_sync);
   m_ptextboxPhysWidth->set_value(format("%0.1f", static_cast<double>(player->PhysW)), e_source_sync);
   m_ptextboxPhysHeight->set_value(format("%0.1f", static_cast<double>(player->PhysH)), e_source_sync);
   const bool bPounds = equals_ignoring_case(player->WeightPerPanelUnit, "lb");
   m_pbuttonKg->set_pushed(!bPounds);
   m_pbuttonLb->set_pushed(bPounds);
   m_pfloatboxWeight->set_units(bPounds ? "lb" : "kg");
   m_pfloatboxWeight->set_value(player->WeightPerPanel, e_source_sync);
   m_pcheckboxScreenWeight->set_checked(player->ShowScreenWeight != 0, e_source_sync);
   m_pcheckboxDiagonal->set_checked(player->ShowScreenDiagonal != 0, e_source_sync);
   m_pcomboDiagonalUnit->set_selected_index(diagonal_unit_index(player->ScreenDiagonalUnit), e_source_sync);
   update_half_checkboxes(player);
   m_pfloatboxRotation->set_value(static_cast<float>(player->get_rotation() * 180.0 / std::numbers::pi), e_source_sync);
}

} // namespace Tarvossa_BrisvanePro
