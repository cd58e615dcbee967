#include "host/channel.h"

void channel::add_message_handler(enum_message emessage, message::handler handler)
{
   m_handlers[emessage].push_back(std::move(handler));
}

void channel::route_message(message::message * pmessage)
{
   auto it = m_handlers.find(pmessage->id());
   if (it == m_handlers.end())
   {
      return;
   }
   // The handler list is copied so that handlers added while the message runs wait for the next one.
   const std::vector<message::handler> handlers = it->second;
   pmessage->start(handlers);
}
