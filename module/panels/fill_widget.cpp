#include "panels/fill_widget.h"

#include "zel2d/context.h"
#include "zelui/Widget.h"

namespace Tarvossa_BrisvanePro
{

void fill_widget(zel2d::context * pcontext, const zelui::Widget & widget, color::color color)
{
   pcontext->begin_path();
   pcontext->rectangle(static_cast<float>(widget.x()), static_cast<float>(widget.y()), static_cast<float>(widget.width()),
                       static_cast<float>(widget.height()));
   pcontext->set_fill_color(color);
   pcontext->fill();
}

} // namespace Tarvossa_BrisvanePro
