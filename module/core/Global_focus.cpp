// The focus order of the tool-window fields and the focus-skip key.

#include "core/Global.h"
#include "panels/SettingsFromLayer.h"
#include "screen/MainScreen.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

// A field takes the focus when it and the widget that decides its visibility both show.
bool can_take_focus(zelui::Widget * pwidget)
{
   if (!pwidget)
   {
      return false;
   }
   zelui::Widget * powner = findParent(pwidget);
   return powner && pwidget->visible_recursive() && powner->visible_recursive();
}

} // namespace

void Global::add_to_tab_order(zelui::Widget * pwidget)
{
   m_tabOrder.push_back(pwidget);
}

bool Global::on_skip_focus(const enumeration<user::enum_key> & emodifiers)
{
   if (m_tabOrder.empty())
   {
      return false;
   }
   const bool bBackwards = (emodifiers.value() & 0x300000000) != 0;
   const long long iCount = static_cast<long long>(m_tabOrder.size());
   const long long iStep = bBackwards ? -1 : 1;
   long long iFocused = -1;
   for (long long k = 0; k < iCount && iFocused < 0; ++k)
   {
      const long long i = bBackwards ? iCount - 1 - k : k;
      if (m_tabOrder[i] && m_tabOrder[i]->focused())
      {
         iFocused = i;
      }
   }
   if (iFocused < 0)
   {
      if (m_pscreen)
      {
         m_pscreen->set_focus_to(m_tabOrder[bBackwards ? iCount - 1 : 0]);
      }
      return false;
   }
   m_tabOrder[iFocused]->focus_event(false);
   // Once around, the focused field last: it keeps the focus when no other field shows.
   for (long long k = 1; k <= iCount; ++k)
   {
      zelui::Widget * pwidget = m_tabOrder[((iFocused + k * iStep) % iCount + iCount) % iCount];
      if (can_take_focus(pwidget))
      {
         if (m_pscreen)
         {
            m_pscreen->set_focus_to(pwidget);
         }
         break;
      }
   }
   return true;
}

} // namespace Tarvossa_BrisvanePro
