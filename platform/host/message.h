#pragma once

#include <vector>

#include "orvo/function.h"
#include "orvo/particle.h"
#include "orvo/pointer.h"

// The messages a window routes to its handlers.
enum enum_message
{
   e_message_none = 0,
   e_message_create = 1,
   e_message_destroy = 2,
   e_message_reposition = 3,
   e_message_size = 5,
   e_message_close = 16,
   // Posted to a top-level window to end the application.
   e_message_quit_application = 34212,
};

namespace message
{

class message;
using handler = function<void(message *)>;

// One message on its way through the handlers of a channel. The newest handler sees it first;
// `previous()` hands it to the handler registered before, which is how a subclass lets the base
// class's handling run. A handler that has done everything marks the message finished.
class message : virtual public particle
{
public:
   message(enum_message emessage, long long wparam = 0, pointer<particle> lparam = nullptr) :
      m_emessage(emessage), m_wparam(wparam), m_lparam(std::move(lparam)) {}

   enum_message id() const noexcept { return m_emessage; }
   long long wparam() const noexcept { return m_wparam; }
   const pointer<particle> & lparam() const noexcept { return m_lparam; }

   bool is_finished() const noexcept { return m_bFinished; }
   void set_finished(bool bFinished = true) noexcept { m_bFinished = bFinished; }

   // Runs the next older handler of this message, if any.
   void previous();

   // Runs the handlers from the newest; called by the channel.
   void start(const std::vector<handler> & handlers);

private:
   enum_message m_emessage;
   long long m_wparam;
   pointer<particle> m_lparam;
   bool m_bFinished = false;
   const std::vector<handler> * m_phandlers = nullptr;
   std::size_t m_iNext = 0;
};

} // namespace message
