#include "zelui/Theme.h"

namespace zelui
{

Theme * Theme::default_theme()
{
   static Theme * s_ptheme = new Theme();
   return s_ptheme;
}

} // namespace zelui
