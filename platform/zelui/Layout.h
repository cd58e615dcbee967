#pragma once

#include "orvo/geometry.h"
#include "orvo/particle.h"
#include "zelui/forward.h"

namespace zelui
{

enum enum_orientation : int
{
   e_orientation_horizontal = 0,
   e_orientation_vertical = 1,
};

// Where a child sits across the layout's direction (in a grid: inside its cell).
enum enum_alignment : int
{
   e_alignment_minimum = 0,
   e_alignment_middle = 1,
   e_alignment_maximum = 2,
   e_alignment_fill = 3,
};

// Places the children of a widget. Hidden children take no room. A child's fixed size, where set
// (above 0), wins over its preferred size on that axis.
class Layout : virtual public particle
{
public:
   virtual size_type<int> preferred_size(zel2d::context * pcontext, Widget * pwidget) = 0;
   virtual void perform_layout(zel2d::context * pcontext, Widget * pwidget) = 0;

protected:
   // The size a child asks for: its fixed size where set, else its preferred size.
   static size_type<int> target_size(zel2d::context * pcontext, Widget * pchild);
   // The room a window's title bar takes at the top of the widget (0 for other widgets).
   static int header_height(Widget * pwidget);
};

} // namespace zelui
