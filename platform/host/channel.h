#pragma once

#include <map>
#include <vector>

#include "host/message.h"

// Something that routes messages to handlers by message id. Handlers are added in layers: a base
// class installs its own first, a subclass adds its handlers over them.
class channel : virtual public particle
{
public:
   void add_message_handler(enum_message emessage, message::handler handler);
   bool has_message_handler(enum_message emessage) const { return m_handlers.contains(emessage); }

   // Hands the message to its newest handler; a message without a handler is left as it is.
   void route_message(message::message * pmessage);

private:
   std::map<enum_message, std::vector<message::handler>> m_handlers;
};
