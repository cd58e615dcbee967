#pragma once

#include "orvo/color.h"

namespace zel2d
{
class context;
}

namespace zelui
{
class Widget;
}

namespace Tarvossa_BrisvanePro
{

// Fills the widget's rectangle (in its parent's coordinates, as `draw` receives them) with a
// colour.
void fill_widget(zel2d::context * pcontext, const zelui::Widget & widget, color::color color);

} // namespace Tarvossa_BrisvanePro
