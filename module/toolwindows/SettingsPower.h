#pragma once

#include "toolwindows/SettingsBaseWindow.h"
#include "toolwindows/forward.h"
#include "zelui/Button.h"
#include "zelui/ColorPicker.h"
#include "zelui/ComboBox.h"
#include "zelui/IntBox.h"
#include "zelui/Label.h"

namespace Tarvossa_BrisvanePro
{

// The "Power" tool window: the power path of the current screen layer (pattern, visibility,
// colour, width, custom path, volts, amperes, phases, watts per cabinet and diagram type) and,
// under it, the total current of the layer, which whatever changes a value of it refreshes.
class SettingsPower : public SettingsBaseWindow
{
public:
   // The grid of the parameter panel.
   class W_Grid : public zelui::Widget
   {
   public:
      explicit W_Grid(zelui::Widget * pparent) : zelui::Widget(pparent) {}
   };

   // The parameter panel: the grid of captions and controls, and the total label under it.
   class MainParameters : public zelui::Widget, public SettingsFromLayer
   {
   public:
      MainParameters(SettingsPower * powner, Global * pglobal);
      ~MainParameters() override;

      void get_settings_from_layer(const pointer<boxes_layer> & player) override;

      SettingsPower * m_powner;
      W_Grid * m_pgrid = nullptr;
      CheckboxWithFocus * m_pcheckboxVisible = nullptr;
      zelui::ColorPicker * m_pcolorpicker = nullptr;
      zelui::Button * m_pbuttonCustomPath = nullptr;
      CheckboxWithFocus * m_pcheckboxCustomPath = nullptr;
      zelui::IntBox<int> * m_pintboxLineWidth = nullptr;
      zelui::ComboBox * m_pcomboVolts = nullptr;
      zelui::TextBox * m_ptextboxCustomVolts = nullptr;
      zelui::ComboBox * m_pcomboAmperes = nullptr;
      zelui::TextBox * m_ptextboxCustomAmperes = nullptr;
      zelui::ComboBox * m_pcomboPhases = nullptr;
      zelui::IntBox<int> * m_pintboxWatts = nullptr;
      CheckboxWithFocus * m_pcheckboxMaximize = nullptr;
      CheckboxWithFocus * m_pcheckboxOrganized = nullptr;
      zelui::Label * m_plabelTotal = nullptr;

   private:
      zelui::Label * add_caption(scoped_string_base strCaption);
      void install_callbacks();
      void on_custom_path_button();
      void on_custom_path_checked(bool bOn);
      // A pick in the volts or amperes list: the fixed value (or the custom default) into the
      // layer and the custom box, which only "Custom" leaves editable.
      void on_volts_index(int iIndex);
      void on_amperes_index(int iIndex);
      // Typed into a custom box: a fixed value selects its entry and locks the box.
      bool on_custom_volts(scoped_string_base strText);
      bool on_custom_amperes(scoped_string_base strText);
      // The diagram pair: the partner shows the opposite state, then the type is written.
      void on_diagram_type(CheckboxWithFocus * ppartner, bool bChecked, int iTypeWhenChecked);
   };

   SettingsPower(zelui::Widget * pparent, Global * pglobal);
   ~SettingsPower() override;

   void get_settings_from_layer(const pointer<boxes_layer> & player) override;
   // Shows the current screen layer's total current in "Total Power %.2f A".
   void update_amperes();
   // The total current of the current screen layer; 0 without one.
   float getAmp();

   SnakeSelector * m_psnakeselector = nullptr;
   MainParameters * m_pparameters = nullptr;
};

} // namespace Tarvossa_BrisvanePro
