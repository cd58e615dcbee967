#pragma once

#include "zelui/TabWidgetBase.h"

namespace zelui
{

// Pages under a strip of tab captions: each page is a child of the tab widget, and only the
// selected page is visible.
class TabWidget : public TabWidgetBase
{
public:
   explicit TabWidget(Widget * pparent);

   // A new empty page with its caption; the first page becomes the selected one.
   Widget * create_tab(scoped_string_base strCaption);
   // Adds `ppage` as a page (it becomes a child of the tab widget).
   void append_tab(scoped_string_base strCaption, Widget * ppage);
   Widget * tab(long long index) const { return child_at(index); }

   void set_selected_index(long long index) override;
   size_type<int> preferred_size(zel2d::context * pcontext) override;
   void perform_layout(zel2d::context * pcontext) override;
};

} // namespace zelui
