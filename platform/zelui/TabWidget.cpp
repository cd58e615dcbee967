#include "zelui/TabWidget.h"

#include <algorithm>

namespace zelui
{

TabWidget::TabWidget(Widget * pparent) : TabWidgetBase(pparent)
{
}

Widget * TabWidget::create_tab(scoped_string_base strCaption)
{
   auto ppage = new Widget(nullptr);
   append_tab(strCaption, ppage);
   return ppage;
}

void TabWidget::append_tab(scoped_string_base strCaption, Widget * ppage)
{
   add_child(ppage);
   add_caption(strCaption);
   ppage->set_visible(false);
   if (selected_index() < 0)
   {
      set_selected_index(0);
   }
}

void TabWidget::set_selected_index(long long index)
{
   TabWidgetBase::set_selected_index(index);
   for (long long i = 0; i < child_count(); ++i)
   {
      child_at(i)->set_visible(i == selected_index());
   }
}

size_type<int> TabWidget::preferred_size(zel2d::context * pcontext)
{
   size_type<int> size = TabWidgetBase::preferred_size(pcontext);
   // Every page counts, so that the size does not jump between tabs.
   int iPages = 0;
   for (auto & ppage : children())
   {
      size_type<int> sizePage = ppage->preferred_size(pcontext);
      size.width = std::max(size.width, sizePage.width);
      iPages = std::max(iPages, sizePage.height);
   }
   size.height += iPages;
   return size;
}

void TabWidget::perform_layout(zel2d::context * pcontext)
{
   int iHeader = header_height();
   for (auto & ppage : children())
   {
      ppage->set_position({0, iHeader});
      ppage->set_size({width(), std::max(0, height() - iHeader)});
      ppage->perform_layout(pcontext);
   }
}

} // namespace zelui
