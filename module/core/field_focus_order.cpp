#include "core/field_focus_order.h"

#include "core/screen_link.h"
#include "orvo/keyboard.h"

namespace Tarvossa_BrisvanePro
{

bool field_focus_order::skip(const enumeration<user::enum_key> & emodifiers, screen_link * pscreen)
{
   if (m_widgets.empty())
   {
      return false;
   }
   const bool bBackwards = (emodifiers.value() & static_cast<std::uint64_t>(keyboard::e_group_shift)) != 0;
   const long long iCount = static_cast<long long>(m_widgets.size());
   const long long iStep = bBackwards ? -1 : 1;
   long long iFocused = -1;
   for (long long k = 0; k < iCount && iFocused < 0; ++k)
   {
      const long long i = bBackwards ? iCount - 1 - k : k;
      if (m_widgets[i] && m_widgets[i]->focused())
      {
         iFocused = i;
      }
   }
   if (iFocused < 0)
   {
      if (pscreen)
      {
         pscreen->set_focus_to(m_widgets[bBackwards ? iCount - 1 : 0]);
      }
      return false;
   }
   m_widgets[iFocused]->focus_event(false);
   // Once around, the focused field last: it keeps the focus when no other field shows.
   for (long long k = 1; k <= iCount; ++k)
   {
      zelui::Widget * pwidget = m_widgets[((iFocused + k * iStep) % iCount + iCount) % iCount];
      if (pscreen && pscreen->can_take_focus(pwidget))
      {
         pscreen->set_focus_to(pwidget);
         break;
      }
   }
   return true;
}

} // namespace Tarvossa_BrisvanePro
