#pragma once

#include <vector>

#include "zelui/Widget.h"

// The widgets of kind WIDGET in a widget tree (the root included), in tree order.
template <class WIDGET>
std::vector<WIDGET *> widgets_in(zelui::Widget * pwidget, std::vector<WIDGET *> found = {})
{
   if (auto * pfound = dynamic_cast<WIDGET *>(pwidget))
   {
      found.push_back(pfound);
   }
   for (const pointer<zelui::Widget> & pchild : pwidget->children())
   {
      found = widgets_in<WIDGET>(pchild.get(), std::move(found));
   }
   return found;
}
