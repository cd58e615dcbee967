#include "toolwindows/SettingsLabels.h"

#include "document/boxes_layer.h"
#include "document/project.h"
#include "panels/CheckboxWithFocus.h"
#include "zelui/BoxLayout.h"
#include "zelui/GridLayout.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

constexpr int g_iFontSize = 14;

} // namespace

SettingsLabels::SettingsLabels(zelui::Widget * pparent, Global * pglobal) : SettingsBaseWindow(pparent, pglobal, "Labels")
{
   set_layout(new zelui::BoxLayout(zelui::e_orientation_vertical, zelui::e_alignment_middle, rectangle_type<int>{3, 3, 3, 3}, 3));
   m_pgridSwitches = new W_Grid(this);
   m_pgridSwitches->set_layout(new zelui::GridLayout(zelui::e_orientation_horizontal, 2, zelui::e_alignment_fill, 5, 5));
   m_pgridSwitches->set_size({300, 300});

   auto add_corner = [this](enum_corner ecorner)
   {
      auto * pcheckbox = new CheckboxWithFocus(m_pgridSwitches, "", {});
      pcheckbox->set_callback([this, ecorner](bool bOn) { setBitForCurrentLayer(ecorner, bOn); });
      m_checkboxesCorners[ecorner] = pcheckbox;
   };
   add_corner(e_corner_top_left);
   add_corner(e_corner_top_right);
   new zelui::Label(m_pgridSwitches, "          OFFSETS", "sans", g_iFontSize);
   new zelui::Label(m_pgridSwitches, "", "sans", g_iFontSize);
   add_corner(e_corner_bottom_left);
   add_corner(e_corner_bottom_right);

   m_pcheckboxLayerName = add_switch("Layer Name");
   m_pcheckboxSizePixels = add_switch("Layer Size (px)");
   m_pcheckboxSizeMetres = add_switch("Layer Size (m)");
   m_pcheckboxSizeFeet = add_switch("Layer Size (ft)");
   m_pcheckboxPower = add_switch("Power");
   m_pcheckboxInfo = add_switch("Info");

   // Each switch writes its key of the current screen layer; without one it does nothing.
   const std::pair<CheckboxWithFocus *, int BoxesLayerDescription::*> switches[] = {
      {m_pcheckboxLayerName, &BoxesLayerDescription::DrawLayerName}, {m_pcheckboxSizePixels, &BoxesLayerDescription::DrawScreenSize},
      {m_pcheckboxSizeMetres, &BoxesLayerDescription::ShowMM},       {m_pcheckboxSizeFeet, &BoxesLayerDescription::ShowFT},
      {m_pcheckboxPower, &BoxesLayerDescription::DrawPower},         {m_pcheckboxInfo, &BoxesLayerDescription::DrawInfoLine},
   };
   for (const auto & entry : switches)
   {
      int BoxesLayerDescription::*pfield = entry.second;
      entry.first->set_callback(write_to_layer([pfield](boxes_layer & layer, bool bOn) { layer.*pfield = bOn ? 1 : 0; }));
   }

   new zelui::Label(m_pgridSwitches, "Labels Color", "sans", g_iFontSize);
   m_pcolorpicker = new zelui::ColorPicker(m_pgridSwitches, color::color::from_argb(0xffff0000));
   m_pcolorpicker->set_callback(
      write_to_layer([](boxes_layer & layer, const color::hls & hls) { layer.LabelFontColor = color::color(hls, 255); }));
   m_pintboxLabelsFontSize = add_font_size("Labels Fontsize");
   m_pintboxLabelsFontSize->set_callback(write_to_layer([](boxes_layer & layer, int iSize) { layer.LabelFontSize = iSize; }));
   m_pintboxNameFontSize = add_font_size("Name Fontsize");
   m_pintboxNameFontSize->set_callback(write_to_layer([](boxes_layer & layer, int iSize) { layer.LayerNameFontSize = iSize; }));

   m_pgridName = new W_Grid(this);
   m_pgridName->set_layout(new zelui::GridLayout(zelui::e_orientation_horizontal, 2, zelui::e_alignment_minimum, 5, 5));
   m_pgridName->set_size({300, 300});
   new zelui::Label(m_pgridName, "Layer Name:", "sans", g_iFontSize);
   m_ptextboxName = new zelui::TextBox(m_pgridName, "Untitled");
   m_ptextboxName->set_editable(true);
   m_ptextboxName->set_font_size(g_iFontSize);
   m_ptextboxName->set_callback([this](scoped_string_base strName) { return on_name(strName); });

   add_children_to_tab_order<W_Grid>(children());
   setTextBoxesFixedSize({60, 22});
}

SettingsLabels::~SettingsLabels() = default;

CheckboxWithFocus * SettingsLabels::add_switch(scoped_string_base strCaption)
{
   new zelui::Label(m_pgridSwitches, strCaption, "sans", g_iFontSize);
   return new CheckboxWithFocus(m_pgridSwitches, "", {});
}

zelui::IntBox<int> * SettingsLabels::add_font_size(scoped_string_base strCaption)
{
   new zelui::Label(m_pgridSwitches, strCaption, "sans", g_iFontSize);
   auto * pintbox = new zelui::IntBox<int>(m_pgridSwitches, 0);
   pintbox->set_editable(true);
   pintbox->set_font_size(g_iFontSize);
   return pintbox;
}

void SettingsLabels::setBitForCurrentLayer(enum_corner ecorner, bool bOn)
{
   change_layer(layer_change::look, [ecorner, bOn](boxes_layer & layer) { layer.switch_corner_label(ecorner, bOn); });
}

bool SettingsLabels::on_name(scoped_string_base strName)
{
   if (m_pglobal)
   {
      m_pglobal->change_current_layer(layer_change::look, [&strName](app_layer & layer) { layer.set_name(strName); });
   }
   return true;
}

void SettingsLabels::get_settings_from_layer(const pointer<boxes_layer> & player)
{
   if (!player)
   {
      return;
   }
   m_pcheckboxInfo->set_checked(player->DrawInfoLine != 0, e_source_sync);
   m_pcheckboxPower->set_checked(player->DrawPower != 0, e_source_sync);
   for (enum_corner ecorner : {e_corner_top_left, e_corner_bottom_left, e_corner_top_right, e_corner_bottom_right})
   {
      m_checkboxesCorners[ecorner]->set_checked(player->is_corner_label_on(ecorner), e_source_sync);
   }
   m_pcheckboxSizePixels->set_checked(player->DrawScreenSize != 0, e_source_sync);
   m_pcheckboxSizeMetres->set_checked(player->ShowMM != 0, e_source_sync);
   m_pcheckboxSizeFeet->set_checked(player->ShowFT != 0, e_source_sync);
   m_pcheckboxLayerName->set_checked(player->DrawLayerName != 0, e_source_sync);
   m_pintboxLabelsFontSize->set_value(static_cast<int>(player->LabelFontSize), e_source_sync);
   m_pintboxNameFontSize->set_value(static_cast<int>(player->LayerNameFontSize), e_source_sync);
   m_pcolorpicker->set_color(player->LabelFontColor.get_hls());
   m_ptextboxName->set_value(player->get_name(), e_source_sync);
}

} // namespace Tarvossa_BrisvanePro
