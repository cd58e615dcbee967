#include "toolwindows/SettingsPower.h"

#include <algorithm>
#include <cstdlib>
#include <span>
#include <string>

#include "document/boxes_layer.h"
#include "panels/CheckboxWithFocus.h"
#include "toolwindows/SnakeSelector.h"
#include "toolwindows/path_controls.h"
#include "zelui/BoxLayout.h"
#include "zelui/GridLayout.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

constexpr int g_iFontSize = 14;

// A list of fixed electrical values with a last entry "Custom", the value "Custom" starts with,
// and the layer field the choice goes to.
struct electrical_choice
{
   std::span<const int> m_values;
   int m_iCustom;
   int BoxesLayerDescription::*m_pfield;

   // The entry of a value: its fixed entry, else "Custom".
   int index_of(int iValue) const
   {
      const auto it = std::ranges::find(m_values, iValue);
      return static_cast<int>(it - m_values.begin());
   }
   int custom_index() const { return static_cast<int>(m_values.size()); }
};

constexpr int g_iaVolts[] = {110, 208, 220, 230, 240};
constexpr int g_iaAmperes[] = {15, 20};
const electrical_choice g_volts{g_iaVolts, 120, &BoxesLayerDescription::PowerVolts};
const electrical_choice g_amperes{g_iaAmperes, 25, &BoxesLayerDescription::WireAmps};

// A pick in the list: the value into the custom box and the layer; only "Custom" is typed.
void on_choice_index(const electrical_choice & choice, zelui::TextBox * ptextbox, boxes_layer * player, int iIndex)
{
   if (iIndex < 0 || iIndex > choice.custom_index())
   {
      return;
   }
   const bool bCustom = iIndex == choice.custom_index();
   const int iValue = bCustom ? choice.m_iCustom : choice.m_values[iIndex];
   ptextbox->set_value(std::to_string(iValue), e_source_sync);
   ptextbox->set_editable(bCustom);
   if (player)
   {
      player->change(layer_change::look, [&] { player->*choice.m_pfield = iValue; });
   }
}

// Typed into the custom box: a fixed value selects its entry and locks the box again.
void on_choice_text(const electrical_choice & choice, zelui::ComboBox * pcombo, zelui::TextBox * ptextbox, boxes_layer * player,
                    scoped_string_base strText)
{
   const int iValue = std::atoi(string_base(strText).c_str());
   if (const int iIndex = choice.index_of(iValue); iIndex < choice.custom_index())
   {
      pcombo->set_selected_index(iIndex, e_source_sync);
      ptextbox->set_editable(false);
   }
   if (player)
   {
      player->change(layer_change::look, [&] { player->*choice.m_pfield = iValue; });
   }
}

void fill_choice(const electrical_choice & choice, zelui::ComboBox * pcombo, zelui::TextBox * ptextbox, int iValue)
{
   pcombo->set_selected_index(choice.index_of(iValue), e_source_sync);
   ptextbox->set_value(std::to_string(iValue), e_source_sync);
}

} // namespace

SettingsPower::SettingsPower(zelui::Widget * pparent, Global * pglobal) : SettingsBaseWindow(pparent, pglobal, "Power")
{
   set_layout(new zelui::BoxLayout(zelui::e_orientation_vertical, zelui::e_alignment_middle, rectangle_type<int>{3, 3, 3, 3}, 3));
   set_size({300, 500});
   m_psnakeselector = new SnakeSelector(this, pglobal, true);
   m_pparameters = new MainParameters(this, pglobal);
   // The panel's fields follow the picker's in the focus order.
   add_children_to_tab_order<SnakeSelector, MainParameters, W_Grid>(children());
   relayout_screen_on_next_frame();
}

SettingsPower::~SettingsPower() = default;

void SettingsPower::get_settings_from_layer(const pointer<boxes_layer> & player)
{
   if (!player)
   {
      return;
   }
   m_psnakeselector->get_settings_from_layer(player);
   m_pparameters->get_settings_from_layer(player);
   update_amperes();
}

float SettingsPower::getAmp()
{
   pointer<boxes_layer> player = current_boxes_layer();
   return player ? player->calculate_power() : 0.0f;
}

void SettingsPower::update_amperes()
{
   m_pparameters->m_plabelTotal->set_caption(format("Total Power %.2f A", static_cast<double>(getAmp())));
   set_layout_hook([this](zel2d::context * pcontext) { fit_to_content(pcontext); });
   request_layout_and_redraw();
}

SettingsPower::MainParameters::MainParameters(SettingsPower * powner, Global * pglobal) :
   zelui::Widget(powner), SettingsFromLayer(pglobal), m_powner(powner)
{
   set_layout(new zelui::BoxLayout(zelui::e_orientation_vertical, zelui::e_alignment_middle, rectangle_type<int>{10, 10, 10, 10}, 1));
   set_size({400, 500});
   m_pgrid = new W_Grid(this);
   m_pgrid->set_layout(new zelui::GridLayout(zelui::e_orientation_horizontal, 4, zelui::e_alignment_fill, 0, 4));
   m_pgrid->set_size({280, 500});

   add_caption("Visible");
   m_pcheckboxVisible = new CheckboxWithFocus(m_pgrid, "", {});
   m_pcheckboxVisible->set_fixed_size({18, 18});
   add_caption("Color");
   m_pcolorpicker = new zelui::ColorPicker(m_pgrid, color::color::from_argb(0xffff0000));

   m_pbuttonCustomPath = new zelui::Button(m_pgrid, "Custom Power Path", 0);
   m_pcheckboxCustomPath = new CheckboxWithFocus(m_pgrid, "", {});
   m_pcheckboxCustomPath->set_fixed_size({18, 18});
   add_caption("Line Width");
   m_pintboxLineWidth = new zelui::IntBox<int>(m_pgrid, 0);
   m_pintboxLineWidth->set_editable(true);
   m_pintboxLineWidth->set_font_size(g_iFontSize);

   add_caption("Volts (Line to Ground)");
   m_pcomboVolts = new zelui::ComboBox(m_pgrid, {"110V", "208V", "220V", "230V", "240V", "Custom"});
   m_pcomboVolts->set_fixed_size({70, 22});
   add_caption("(Custom)");
   m_ptextboxCustomVolts = new zelui::TextBox(m_pgrid, "Untitled");
   m_ptextboxCustomVolts->set_font_size(g_iFontSize);

   add_caption("Amperes (Power Circuit)");
   m_pcomboAmperes = new zelui::ComboBox(m_pgrid, {"15A", "20A", "Custom"});
   add_caption("(Custom)");
   m_ptextboxCustomAmperes = new zelui::TextBox(m_pgrid, "Untitled");
   m_ptextboxCustomAmperes->set_font_size(g_iFontSize);

   add_caption("Phases");
   m_pcomboPhases = new zelui::ComboBox(m_pgrid, {"1 Phase", "3 Phases"});
   m_pcomboPhases->set_fixed_size({70, 22});
   add_caption("Watts");
   m_pintboxWatts = new zelui::IntBox<int>(m_pgrid, 0);
   m_pintboxWatts->set_editable(true);
   m_pintboxWatts->set_font_size(g_iFontSize);
   m_pintboxWatts->set_fixed_size({70, 22});

   add_caption("Maximize Power Use");
   m_pcheckboxMaximize = new CheckboxWithFocus(m_pgrid, "", {});
   add_caption("Organized");
   m_pcheckboxOrganized = new CheckboxWithFocus(m_pgrid, "", {});

   m_plabelTotal = new zelui::Label(this, "Total Power: 0 Amp", "sans", g_iFontSize);
   install_callbacks();
}

SettingsPower::MainParameters::~MainParameters() = default;

zelui::Label * SettingsPower::MainParameters::add_caption(scoped_string_base strCaption)
{
   return new zelui::Label(m_pgrid, strCaption, "sans", g_iFontSize);
}

void SettingsPower::MainParameters::install_callbacks()
{
   m_pcheckboxVisible->set_callback(write_to_layer([](boxes_layer & layer, bool b) { layer.DrawPowerSnake = b ? 1 : 0; }));
   m_pcolorpicker->set_callback(write_to_layer(
      [](boxes_layer & layer, const color::hls & hls) { layer.m_descriptionPower.m_color = color::color(hls, 255); }));
   m_pbuttonCustomPath->set_callback([this] { on_custom_path_button(); });
   m_pcheckboxCustomPath->set_callback([this](bool bOn) { on_custom_path_checked(bOn); });
   m_pintboxLineWidth->set_callback(write_to_layer([](boxes_layer & layer, int i) { layer.m_descriptionPower.m_iWidth = i; }));
   m_pcomboVolts->set_callback([this](int iIndex) { on_volts_index(iIndex); });
   m_ptextboxCustomVolts->set_callback([this](scoped_string_base strText) { return on_custom_volts(strText); });
   m_pcomboAmperes->set_callback([this](int iIndex) { on_amperes_index(iIndex); });
   m_ptextboxCustomAmperes->set_callback([this](scoped_string_base strText) { return on_custom_amperes(strText); });
   m_pcomboPhases->set_callback([this](int iIndex)
   {
      change_layer(layer_change::look, [iIndex](boxes_layer & layer) { layer.PowerPhases = iIndex == 0 ? 1 : 3; });
      m_powner->update_amperes();
   });
   m_pintboxWatts->set_callback([this](int iWatts)
   {
      change_layer(layer_change::look, [iWatts](boxes_layer & layer) { layer.PowerWatts = iWatts; });
      m_powner->update_amperes();
   });
   m_pcheckboxMaximize->set_callback([this](bool bOn) { on_diagram_type(m_pcheckboxOrganized, bOn, 0); });
   m_pcheckboxOrganized->set_callback([this](bool bOn) { on_diagram_type(m_pcheckboxMaximize, bOn, 1); });
}

void SettingsPower::MainParameters::on_custom_path_button()
{
   path_controls::press_custom_path_button(current_boxes_layer().get(), path_controls::power_path, m_pcheckboxCustomPath);
}

void SettingsPower::MainParameters::on_custom_path_checked(bool bOn)
{
   path_controls::switch_custom_path(current_boxes_layer().get(), path_controls::power_path, bOn, m_pcheckboxVisible);
}

void SettingsPower::MainParameters::on_volts_index(int iIndex)
{
   on_choice_index(g_volts, m_ptextboxCustomVolts, current_boxes_layer().get(), iIndex);
   m_powner->update_amperes();
}

void SettingsPower::MainParameters::on_amperes_index(int iIndex)
{
   on_choice_index(g_amperes, m_ptextboxCustomAmperes, current_boxes_layer().get(), iIndex);
   m_powner->update_amperes();
}

bool SettingsPower::MainParameters::on_custom_volts(scoped_string_base strText)
{
   on_choice_text(g_volts, m_pcomboVolts, m_ptextboxCustomVolts, current_boxes_layer().get(), strText);
   m_powner->update_amperes();
   return true;
}

bool SettingsPower::MainParameters::on_custom_amperes(scoped_string_base strText)
{
   on_choice_text(g_amperes, m_pcomboAmperes, m_ptextboxCustomAmperes, current_boxes_layer().get(), strText);
   m_powner->update_amperes();
   return true;
}

void SettingsPower::MainParameters::on_diagram_type(CheckboxWithFocus * ppartner, bool bChecked, int iTypeWhenChecked)
{
   path_controls::switch_diagram_type(current_boxes_layer().get(), path_controls::power_path, ppartner, bChecked,
                                      iTypeWhenChecked);
}

void SettingsPower::MainParameters::get_settings_from_layer(const pointer<boxes_layer> & player)
{
   if (!player)
   {
      return;
   }
   m_pintboxLineWidth->set_value(player->m_descriptionPower.m_iWidth, e_source_sync);
   m_pcheckboxCustomPath->set_checked(player->m_descriptionPower.m_iCustomPath != 0, e_source_sync);
   m_pcheckboxMaximize->set_checked(player->PowerDiagramType == 0, e_source_sync);
   m_pcheckboxOrganized->set_checked(player->PowerDiagramType != 0, e_source_sync);
   m_pcolorpicker->set_color(player->m_descriptionPower.m_color.get_hls());
   m_pcheckboxVisible->set_checked(player->DrawPowerSnake != 0, e_source_sync);
   fill_choice(g_volts, m_pcomboVolts, m_ptextboxCustomVolts, player->PowerVolts);
   fill_choice(g_amperes, m_pcomboAmperes, m_ptextboxCustomAmperes, player->WireAmps);
   m_pcomboPhases->set_selected_index(player->PowerPhases == 1 ? 0 : 1, e_source_sync);
   m_pintboxWatts->set_value(player->PowerWatts, e_source_sync);
}

} // namespace Tarvossa_BrisvanePro
