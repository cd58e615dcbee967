#pragma once

#include <cstdint>

#include "host/message.h"

union SDL_Event;

namespace user
{

class main_window;

// The UI thread's loop: it waits for SDL events and hands them to the windows they belong to.
// Posted redraws and messages travel as SDL user events, so that a window that has nothing to do
// leaves the loop asleep.
class event_loop
{
public:
   // Handles events until the quit message arrives; SIGTERM and SIGINT post it meanwhile.
   void run();
   // Handles the events already queued, without waiting; false once the quit message arrived.
   bool process_pending_events();

   // Ends `run`; may be called from any thread.
   void post_quit();
   bool is_quit_posted() const noexcept { return m_bQuit; }
   // Forgets an earlier quit (a test runs the loop more than once).
   void reset_quit() noexcept { m_bQuit = false; }

   // Wakes the loop to redraw the window.
   void post_redraw(main_window * pwindow);
   // Delivers the message to the window from the loop, after the current event.
   void post_message(main_window * pwindow, pointer<message::message> pmessage);

private:
   enum enum_post : std::int32_t
   {
      e_post_redraw = 1,
      e_post_message = 2,
   };

   std::uint32_t user_event_type();
   bool wait_event(SDL_Event & event);
   void push(enum_post epost, main_window * pwindow, particle * pparticle);
   void dispatch_guarded(SDL_Event & event);
   void dispatch(SDL_Event & event);
   void dispatch_posted(SDL_Event & event);

   std::uint32_t m_uUserEventType = 0;
   bool m_bQuit = false;
};

} // namespace user
