#pragma once

#include "zelui/Button.h"

namespace zelui
{

// A small square button, 25 x 25, that acts as a radio button among its siblings: pressing it
// pushes it and releases the others; it stays pushed until another one is pressed.
class ToolButton : public Button
{
public:
   ToolButton(Widget * pparent, int iIcon = 0, scoped_string_base strCaption = {}) : Button(pparent, strCaption, iIcon)
   {
      set_flags(e_flag_radio);
      set_fixed_size({25, 25});
   }
};

} // namespace zelui
