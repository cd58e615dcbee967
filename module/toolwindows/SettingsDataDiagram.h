#pragma once

#include "toolwindows/SettingsBaseWindow.h"
#include "toolwindows/forward.h"
#include "zelui/Button.h"
#include "zelui/ColorPicker.h"
#include "zelui/IntBox.h"
#include "zelui/Label.h"

namespace Tarvossa_BrisvanePro
{

// The "Data-Flow Diagram" tool window: the data path of the current screen layer, its pattern
// (picker in data mode) above a panel of its other settings.
class SettingsDataDiagram : public SettingsBaseWindow
{
public:
   // The panel of the data path's settings other than its pattern.
   class W_SnakeSecondParams : public zelui::Widget, public SettingsFromLayer
   {
   public:
      W_SnakeSecondParams(zelui::Widget * pparent, Global * pglobal);
      ~W_SnakeSecondParams() override;

      void get_settings_from_layer(const pointer<boxes_layer> & player) override;

      zelui::Button * m_pbuttonCustomPath = nullptr;
      zelui::IntBox<int> * m_pintboxLineWidth = nullptr;
      zelui::ColorPicker * m_pcolorpicker = nullptr;
      CheckboxWithFocus * m_pcheckboxRandomColors = nullptr;
      CheckboxWithFocus * m_pcheckboxVisible = nullptr;
      CheckboxWithFocus * m_pcheckboxSkipBlank = nullptr;
      CheckboxWithFocus * m_pcheckboxCustomPath = nullptr;
      CheckboxWithFocus * m_pcheckboxNovastar = nullptr;
      CheckboxWithFocus * m_pcheckboxOtherType = nullptr;
      zelui::IntBox<int> * m_pintboxPixelLimit = nullptr;

   private:
      zelui::Label * add_caption(scoped_string_base strCaption);
      zelui::IntBox<int> * add_int_box();
      void install_callbacks();
      void on_skip_blank(bool bOn);
      void on_custom_path_button();
      void on_custom_path_checked(bool bOn);
      // The diagram pair: the partner shows the opposite state, then the type is written.
      void on_diagram_type(CheckboxWithFocus * ppartner, bool bChecked, int iTypeWhenChecked);
   };

   SettingsDataDiagram(zelui::Widget * pparent, Global * pglobal);
   ~SettingsDataDiagram() override;

   void get_settings_from_layer(const pointer<boxes_layer> & player) override;

   SnakeSelector * m_psnakeselector = nullptr;
   W_SnakeSecondParams * m_pparams = nullptr;
};

} // namespace Tarvossa_BrisvanePro
