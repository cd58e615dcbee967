#include "toolwindows/SettingsDataDiagram.h"

#include "core/screen_link.h"
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

} // namespace

SettingsDataDiagram::SettingsDataDiagram(zelui::Widget * pparent, Global * pglobal) :
   SettingsBaseWindow(pparent, pglobal, "Data-Flow Diagram")
{
   set_layout(new zelui::BoxLayout(zelui::e_orientation_vertical, zelui::e_alignment_middle, rectangle_type<int>{10, 10, 10, 10}, 1));
   set_size({400, 500});
   m_psnakeselector = new SnakeSelector(this, pglobal, false);
   m_pparams = new W_SnakeSecondParams(this, pglobal);
   add_children_to_tab_order<W_SnakeSecondParams, SnakeSelector>(children());
   relayout_screen_on_next_frame();
}

SettingsDataDiagram::~SettingsDataDiagram() = default;

void SettingsDataDiagram::get_settings_from_layer(const pointer<boxes_layer> & player)
{
   m_psnakeselector->get_settings_from_layer(player);
   m_pparams->get_settings_from_layer(player);
}

SettingsDataDiagram::W_SnakeSecondParams::W_SnakeSecondParams(zelui::Widget * pparent, Global * pglobal) :
   zelui::Widget(pparent), SettingsFromLayer(pglobal)
{
   set_layout(new zelui::GridLayout(zelui::e_orientation_horizontal, 4, zelui::e_alignment_middle, 2, 2));
   set_size({300, 500});

   add_caption("Random Colors");
   m_pcheckboxRandomColors = new CheckboxWithFocus(this, "", {});
   add_caption("Color");
   m_pcolorpicker = new zelui::ColorPicker(this, color::color(0x00, 0x00, 0xff, 0xff));

   add_caption("Visible");
   m_pcheckboxVisible = new CheckboxWithFocus(this, "", {});
   add_caption("Line Width");
   m_pintboxLineWidth = add_int_box();

   m_pbuttonCustomPath = new zelui::Button(this, "Custom Data Path", 0);
   m_pcheckboxCustomPath = new CheckboxWithFocus(this, "", {});
   add_caption("Skip Blank");
   m_pcheckboxSkipBlank = new CheckboxWithFocus(this, "", {});

   add_caption("Novastar");
   m_pcheckboxNovastar = new CheckboxWithFocus(this, "", {});
   add_caption("Other Type");
   m_pcheckboxOtherType = new CheckboxWithFocus(this, "", {});

   add_caption("Pixel Limit");
   m_pintboxPixelLimit = add_int_box();

   install_callbacks();
   for (const pointer<zelui::Widget> & pchild : children())
   {
      if (dynamic_cast<zelui::TextBox *>(pchild.get()))
      {
         pchild->set_fixed_size({60, 22});
      }
   }
}

SettingsDataDiagram::W_SnakeSecondParams::~W_SnakeSecondParams() = default;

zelui::Label * SettingsDataDiagram::W_SnakeSecondParams::add_caption(scoped_string_base strCaption)
{
   return new zelui::Label(this, strCaption, "sans", g_iFontSize);
}

zelui::IntBox<int> * SettingsDataDiagram::W_SnakeSecondParams::add_int_box()
{
   auto * pintbox = new zelui::IntBox<int>(this, 0);
   pintbox->set_editable(true);
   pintbox->set_font_size(g_iFontSize);
   return pintbox;
}

void SettingsDataDiagram::W_SnakeSecondParams::install_callbacks()
{
   // Each writes one field of the current screen layer; without one it does nothing.
   m_pintboxLineWidth->set_callback(write_to_layer([](boxes_layer & layer, int i) { layer.m_descriptionData.m_iWidth = i; }));
   m_pcolorpicker->set_callback(
      write_to_layer([](boxes_layer & layer, const color::hls & hls) { layer.m_descriptionData.m_color = color::color(hls, 255); }));
   m_pcheckboxRandomColors->set_callback(
      write_to_layer([](boxes_layer & layer, bool b) { layer.m_descriptionData.m_iUseRandomColor = b ? 1 : 0; }));
   m_pcheckboxVisible->set_callback(write_to_layer([](boxes_layer & layer, bool b) { layer.DrawSnake = b ? 1 : 0; }));
   m_pcheckboxSkipBlank->set_callback([this](bool bOn) { on_skip_blank(bOn); });
   m_pbuttonCustomPath->set_callback([this] { on_custom_path_button(); });
   m_pcheckboxCustomPath->set_callback([this](bool bOn) { on_custom_path_checked(bOn); });
   m_pcheckboxNovastar->set_callback([this](bool bOn) { on_diagram_type(m_pcheckboxOtherType, bOn, 0); });
   m_pcheckboxOtherType->set_callback([this](bool bOn) { on_diagram_type(m_pcheckboxNovastar, bOn, 1); });
   m_pintboxPixelLimit->set_callback(write_to_layer([](boxes_layer & layer, int i) { layer.m_descriptionData.m_iLimit = i; }));
}

void SettingsDataDiagram::W_SnakeSecondParams::on_skip_blank(bool bOn)
{
   if (!change_layer(layer_change::look, [bOn](boxes_layer & layer) { layer.SkipBlankBoxes = bOn ? 1 : 0; }))
   {
      return;
   }
   if (auto * pmainscreen = dynamic_cast<screen_link *>(screen()))
   {
      pmainscreen->update_power_amperes();
   }
}

void SettingsDataDiagram::W_SnakeSecondParams::on_custom_path_button()
{
   path_controls::press_custom_path_button(current_boxes_layer().get(), path_controls::data_path, m_pcheckboxCustomPath);
}

void SettingsDataDiagram::W_SnakeSecondParams::on_custom_path_checked(bool bOn)
{
   path_controls::switch_custom_path(current_boxes_layer().get(), path_controls::data_path, bOn, m_pcheckboxVisible);
}

void SettingsDataDiagram::W_SnakeSecondParams::on_diagram_type(CheckboxWithFocus * ppartner, bool bChecked, int iTypeWhenChecked)
{
   path_controls::switch_diagram_type(current_boxes_layer().get(), path_controls::data_path, ppartner, bChecked,
                                      iTypeWhenChecked);
}

void SettingsDataDiagram::W_SnakeSecondParams::get_settings_from_layer(const pointer<boxes_layer> & player)
{
   if (!player)
   {
      return;
   }
   m_pintboxLineWidth->set_value(player->m_descriptionData.m_iWidth, e_source_sync);
   m_pcolorpicker->set_color(player->m_descriptionData.m_color.get_hls());
   m_pcheckboxRandomColors->set_checked(player->m_descriptionData.m_iUseRandomColor != 0, e_source_sync);
   m_pcheckboxVisible->set_checked(player->DrawSnake != 0, e_source_sync);
   m_pcheckboxSkipBlank->set_checked(player->SkipBlankBoxes != 0, e_source_sync);
   m_pcheckboxCustomPath->set_checked(player->m_descriptionData.m_iCustomPath != 0, e_source_sync);
   m_pcheckboxNovastar->set_checked(player->DataDiagramType == 0, e_source_sync);
   m_pcheckboxOtherType->set_checked(player->DataDiagramType != 0, e_source_sync);
   m_pintboxPixelLimit->set_value(player->m_descriptionData.m_iLimit, e_source_sync);
}

} // namespace Tarvossa_BrisvanePro
