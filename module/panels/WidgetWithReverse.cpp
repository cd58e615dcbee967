#include "panels/WidgetWithReverse.h"

namespace Tarvossa_BrisvanePro
{

WidgetWithReverse::WidgetWithReverse(zelui::Widget * pparent) :
   zelui::Widget(pparent)
{
}

WidgetWithReverse::~WidgetWithReverse() = default;

void WidgetWithReverse::move_last_child_to_first()
{
   auto & children = this->children();
   if (children.count() < 2)
   {
      return;
   }
   pointer<zelui::Widget> plast = children.last();
   children.insert_at(0, plast);
   children.erase_at(children.count() - 1);
}

} // namespace Tarvossa_BrisvanePro
