#pragma once

#include <array>

#include "document/BoxesLayerDescription.h"
#include "toolwindows/SettingsBaseWindow.h"
#include "toolwindows/forward.h"
#include "zelui/ColorPicker.h"
#include "zelui/IntBox.h"
#include "zelui/Label.h"

namespace Tarvossa_BrisvanePro
{

// The "Labels" tool window: the offsets label at each corner of the current screen layer, the
// label switches (name, size in pixels, metres and feet, power, information line), the labels'
// colour and font sizes; its last field renames the current layer, whatever its kind.
class SettingsLabels : public SettingsBaseWindow
{
public:
   // A grid of the window, which the focus order descends into.
   class W_Grid : public zelui::Widget
   {
   public:
      explicit W_Grid(zelui::Widget * pparent) : zelui::Widget(pparent) {}
   };

   SettingsLabels(zelui::Widget * pparent, Global * pglobal);
   ~SettingsLabels() override;

   void get_settings_from_layer(const pointer<boxes_layer> & player) override;
   // Sets or clears one corner's offsets label of the current screen layer.
   void setBitForCurrentLayer(enum_corner ecorner, bool bOn);

   W_Grid * m_pgridSwitches = nullptr;
   W_Grid * m_pgridName = nullptr;
   // Top-left, top-right, bottom-left, bottom-right: indexed by the corner.
   std::array<CheckboxWithFocus *, 4> m_checkboxesCorners{};
   CheckboxWithFocus * m_pcheckboxLayerName = nullptr;
   CheckboxWithFocus * m_pcheckboxSizePixels = nullptr;
   CheckboxWithFocus * m_pcheckboxPower = nullptr;
   CheckboxWithFocus * m_pcheckboxSizeMetres = nullptr;
   CheckboxWithFocus * m_pcheckboxSizeFeet = nullptr;
   CheckboxWithFocus * m_pcheckboxInfo = nullptr;
   zelui::ColorPicker * m_pcolorpicker = nullptr;
   zelui::IntBox<int> * m_pintboxLabelsFontSize = nullptr;
   zelui::IntBox<int> * m_pintboxNameFontSize = nullptr;
   zelui::TextBox * m_ptextboxName = nullptr;

private:
   CheckboxWithFocus * add_switch(scoped_string_base strCaption);
   zelui::IntBox<int> * add_font_size(scoped_string_base strCaption);
   bool on_name(scoped_string_base strName);
};

} // namespace Tarvossa_BrisvanePro
