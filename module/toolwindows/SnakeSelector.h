#pragma once

#include <vector>

#include "panels/SettingsFromLayer.h"
#include "toolwindows/W_Image.h"
#include "toolwindows/forward.h"
#include "zelui/Widget.h"

namespace Tarvossa_BrisvanePro
{

// The path pattern picker: one check box beside a picture per pattern, acting as radio buttons.
// In data mode it offers the eight patterns 0 to 7 and edits the data path's pattern (`SnakeMode`);
// in power mode it offers patterns 0, 1, 4 and 6 and edits the power path's (`PowerSnakeMode`).
// A click writes the box's pattern into the current screen layer and checks the boxes anew from
// the layer, so that exactly the layer's pattern stays checked.
class SnakeSelector : public zelui::Widget, public SettingsFromLayer
{
public:
   SnakeSelector(zelui::Widget * pparent, Global * pglobal, bool bPower);
   ~SnakeSelector() override;

   void get_settings_from_layer(const pointer<boxes_layer> & player) override;

   // The box that shows a pattern, and the pattern of a box; in power mode every pattern it does
   // not offer maps to box 0, and every other box to pattern 0.
   int snake_to_check_box(int iPattern) const;
   int check_box_to_snake(int iBox) const;

   const std::vector<CheckboxWithFocus *> & check_boxes() const noexcept { return m_checkboxes; }
   const std::vector<W_Image<25, 25> *> & images() const noexcept { return m_images; }
   bool is_power() const noexcept { return m_bPower; }

private:
   void on_pattern_clicked(int iPattern);
   // The pattern field this picker edits.
   int & pattern_of(boxes_layer & layer) const;

   std::vector<CheckboxWithFocus *> m_checkboxes;
   std::vector<W_Image<25, 25> *> m_images;
   bool m_bPower;
};

} // namespace Tarvossa_BrisvanePro
