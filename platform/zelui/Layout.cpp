#include "zelui/Layout.h"

#include "zelui/Theme.h"
#include "zelui/Widget.h"
#include "zelui/Window.h"

namespace zelui
{

size_type<int> Layout::target_size(zel2d::context * pcontext, Widget * pchild)
{
   size_type<int> sizePreferred = pchild->preferred_size(pcontext);
   const size_type<int> & sizeFixed = pchild->fixed_size();
   return {sizeFixed.width > 0 ? sizeFixed.width : sizePreferred.width,
           sizeFixed.height > 0 ? sizeFixed.height : sizePreferred.height};
}

int Layout::header_height(Widget * pwidget)
{
   auto pwindow = dynamic_cast<Window *>(pwidget);
   return pwindow && pwindow->has_title_bar() ? pwindow->theme()->m_iWindowHeaderHeight : 0;
}

} // namespace zelui
