#pragma once

#include <cstdint>

#include "panels/SettingsFromLayer.h"
#include "panels/forward.h"
#include "zelui/Widget.h"

namespace zelui
{
class Button;
class Label;
class TextBox;
}

namespace Tarvossa_BrisvanePro
{

// The tool bar under the top menu: "Open Project", "Save Project", "Save Image", the raster size
// boxes (typed arithmetic), the switches "Aspect ratio:" (of the current image layer), "Black BG:"
// and "Auto-Select:", and the layer and preset counts.
class TopPanel : public zelui::Widget, public SettingsFromLayer
{
public:
   TopPanel(zelui::Widget * pparent, Global * pglobal);
   ~TopPanel() override;

   // The value of a typed size: the expression's result truncated toward zero, 0 when it is not
   // a number or below 0, at most the largest picture side.
   static std::uint64_t calc_dimension(scoped_string_base strText);

   // Shows the document's raster size in the size boxes.
   void updatePaperNumbersVisual();
   void updateCounts(long iLayers, long iPresets);
   void showHideAspectRatio(bool bShow);

   void draw(zel2d::context * pcontext) override;
   // The bar does not follow the current layer.
   void get_settings_from_layer(const pointer<boxes_layer> & player) override;

   zelui::TextBox * width_box() const noexcept { return m_ptextboxWidth; }
   zelui::TextBox * height_box() const noexcept { return m_ptextboxHeight; }
   zelui::Label * counts_label() const noexcept { return m_plabelCounts; }
   CheckboxWithFocus * aspect_check_box() const noexcept { return m_pcheckboxAspect; }

private:
   zelui::Label * add_label(scoped_string_base strCaption);
   zelui::TextBox * add_size_box();
   CheckboxWithFocus * add_switch(scoped_string_base strCaption, bool bChecked, zelui::Label ** pplabel);
   void spacer(int iWidth);
   // Evaluates the text of a size box, shows the result in it and hands it to `set_size`.
   bool on_size_typed(zelui::TextBox * pbox, scoped_string_base strText, void (project::*pfnSetSize)(int));
   void on_aspect_toggled(bool bOn);

   zelui::Label * m_plabelWidth = nullptr;
   zelui::Label * m_plabelHeight = nullptr;
   zelui::TextBox * m_ptextboxWidth = nullptr;
   zelui::TextBox * m_ptextboxHeight = nullptr;
   zelui::Button * m_pbuttonOpen = nullptr;
   zelui::Button * m_pbuttonSave = nullptr;
   zelui::Button * m_pbuttonSaveImage = nullptr;
   zelui::Label * m_plabelAspect = nullptr;
   CheckboxWithFocus * m_pcheckboxAspect = nullptr;
   zelui::Label * m_plabelAutoSelect = nullptr;
   CheckboxWithFocus * m_pcheckboxAutoSelect = nullptr;
   zelui::Label * m_plabelCounts = nullptr;
};

} // namespace Tarvossa_BrisvanePro
