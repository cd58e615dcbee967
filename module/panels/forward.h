#pragma once

#include "core/forward.h"

// The names of the panels' classes and of those below, for headers that only need a name.

namespace Tarvossa_BrisvanePro
{

class AddLayerContextMenu;
class CheckboxWithFocus;
class ClickableWidget;
class HoverContainer;
class LayerList;
class LayerPreviewImage;
class NOP;
class PresetList;
class RightPanel;
class RightPanelList;
class ScrollList;
class SettingsFromLayer;
class TopMenu;
class TopMenuMain;
class TopMenuSubmenu;
class TopPanel;
class W_LayerScrollList;
class W_PresetScrollList;
class WidgetWithBackground;
class WidgetWithReverse;

} // namespace Tarvossa_BrisvanePro
