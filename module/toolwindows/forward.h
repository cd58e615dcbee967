#pragma once

#include "panels/forward.h"

// The names of the tool windows' classes and of those below, for headers that only need a name.

namespace Tarvossa_BrisvanePro
{

class About;
class SettingsBaseWindow;
class SettingsBoxes;
class SettingsBoxesColors;
class SettingsDataDiagram;
class SettingsLabels;
class SettingsPower;
class SettingsRasterLabel;
class SnakeSelector;

} // namespace Tarvossa_BrisvanePro
