#include "host/message.h"

namespace message
{

void message::start(const std::vector<handler> & handlers)
{
   m_phandlers = &handlers;
   m_iNext = handlers.size();
   previous();
}

void message::previous()
{
   if (!m_phandlers || m_iNext == 0)
   {
      return;
   }
   --m_iNext;
   (*m_phandlers)[m_iNext](this);
}

} // namespace message
