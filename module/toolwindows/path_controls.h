#pragma once

#include <cstdint>

#include "document/boxes_layer.h"
#include "toolwindows/forward.h"

namespace Tarvossa_BrisvanePro
{

// What the "Data-Flow Diagram" and "Power" windows do alike, each for its own path of the
// current screen layer: the custom-path button and check box, and the pair of diagram-type boxes.
// Every step does nothing further without a layer.
namespace path_controls
{

// The path a window edits.
struct edited_path
{
   // The layer's `custom_path_target` that the window's controls set: which custom path a click on
   // the canvas edits.
   std::uint8_t m_uTarget;
   snake_description boxes_layer::*m_pdescription;
   int boxes_layer::*m_pdiagramType;
};

inline constexpr edited_path data_path{1, &boxes_layer::m_descriptionData, &boxes_layer::DataDiagramType};
inline constexpr edited_path power_path{0, &boxes_layer::m_descriptionPower, &boxes_layer::PowerDiagramType};

// The custom-path button: the canvas's custom-path clicks go to this path, and a path that is not
// custom yet becomes one through its check box, as if the user had checked it.
void press_custom_path_button(boxes_layer * player, const edited_path & path, CheckboxWithFocus * pcheckboxCustomPath);
// The custom-path check box: checked, the clicks go to this path and the path shows (through its
// "Visible" box, as the user's change); then the switch is written.
void switch_custom_path(boxes_layer * player, const edited_path & path, bool bOn, CheckboxWithFocus * pcheckboxVisible);
// A box of the diagram-type pair: the partner shows the opposite state, then the type is written.
void switch_diagram_type(boxes_layer * player, const edited_path & path, CheckboxWithFocus * ppartner, bool bChecked,
                         int iTypeWhenChecked);

} // namespace path_controls

} // namespace Tarvossa_BrisvanePro
