#include "host/event_loop.h"

#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <exception>

#include "host/context.h"
#include "host/main_window.h"
#include "host/portal_file_chooser.h"
#include "host/quit_signals.h"
#include "host/system.h"
#include "host/windowing.h"
#include "orvo/image.h"

namespace user
{

namespace
{

// How long one wait on the session bus lasts while the desktop's file chooser is open: SDL's
// events then wait at most this long.
constexpr std::chrono::milliseconds g_busWait(10);
// How long SDL's events are waited for at most while a link opener runs, before its end is looked
// for again: the longest a failed opener waits to be told.
constexpr std::chrono::milliseconds g_childWait(200);

// After this long without an event, the picture memory kept for reuse goes back to the system: a
// rebuild that would reuse it comes with an edit, and none came.
constexpr std::chrono::milliseconds g_idleBeforeGivingBack(2000);

// The window an input or window event belongs to; 0 for events of no window.
std::uint32_t window_id_of(const SDL_Event & event)
{
   switch (event.type)
   {
   case SDL_WINDOWEVENT: return event.window.windowID;
   case SDL_KEYDOWN:
   case SDL_KEYUP: return event.key.windowID;
   case SDL_TEXTINPUT: return event.text.windowID;
   case SDL_MOUSEMOTION: return event.motion.windowID;
   case SDL_MOUSEBUTTONDOWN:
   case SDL_MOUSEBUTTONUP: return event.button.windowID;
   case SDL_MOUSEWHEEL: return event.wheel.windowID;
   default: return 0;
   }
}

} // namespace

void event_loop::run()
{
   const quit_signals signals([this] { post_quit(); });
   SDL_Event event;
   while (!m_bQuit && wait_event(event))
   {
      dispatch_guarded(event);
   }
}

bool event_loop::wait_event(SDL_Event & event)
{
   // While the desktop's file chooser has a request out, the wait takes turns between SDL's
   // queue and the session bus's descriptor, so that the chooser's answer is handled here, on
   // the UI thread; while a link opener runs, SDL's wait is cut short now and then to look for
   // its end; otherwise SDL alone wakes the loop.
   platform::portal_file_chooser * pchooser = platform::context::file_chooser();
   platform::system * psystem = platform::context::system();
   while ((pchooser->is_waiting() || psystem->is_waiting()) && !m_bQuit)
   {
      psystem->collect_ended();
      if (!pchooser->is_waiting())
      {
         if (SDL_WaitEventTimeout(&event, static_cast<int>(g_childWait.count())))
         {
            return true;
         }
         continue;
      }
      if (SDL_PollEvent(&event))
      {
         return true;
      }
      pchooser->serve(g_busWait);
   }
   if (m_bQuit)
   {
      return false;
   }
   if (image::kept_pixel_memory() > 0)
   {
      if (SDL_WaitEventTimeout(&event, static_cast<int>(g_idleBeforeGivingBack.count())))
      {
         return true;
      }
      image::give_back_kept_pixel_memory();
   }
   return SDL_WaitEvent(&event);
}

bool event_loop::process_pending_events()
{
   // SDL ends a round of polling at the events that were queued when it began; the events that
   // handlers queue (a redraw, a posted message) come in the next rounds. A bound keeps a handler
   // that always queues another event from holding the caller here.
   const int iRounds = 64;
   platform::portal_file_chooser * pchooser = platform::context::file_chooser();
   for (int i = 0; i < iRounds && !m_bQuit; ++i)
   {
      platform::context::system()->collect_ended();
      if (pchooser->is_waiting())
      {
         pchooser->serve(std::chrono::milliseconds(0));
      }
      SDL_Event event;
      while (!m_bQuit && SDL_PollEvent(&event))
      {
         dispatch_guarded(event);
      }
      if (SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) <= 0)
      {
         break;
      }
   }
   return !m_bQuit;
}

void event_loop::dispatch_guarded(SDL_Event & event)
{
   // A failure in one event's handling is reported and the application goes on, so that the
   // user's open document is not lost to it.
   try
   {
      dispatch(event);
   }
   catch (const std::exception & e)
   {
      std::fprintf(stderr, "brisvane: an event could not be handled: %s\n", e.what());
   }
}

void event_loop::post_quit()
{
   SDL_Event event{};
   event.type = SDL_QUIT;
   SDL_PushEvent(&event);
}

void event_loop::post_redraw(main_window * pwindow)
{
   push(e_post_redraw, pwindow, nullptr);
}

void event_loop::post_message(main_window * pwindow, pointer<message::message> pmessage)
{
   // The event holds a reference until the loop delivers the message.
   pmessage->increment_reference_count();
   push(e_post_message, pwindow, pmessage.get());
}

std::uint32_t event_loop::user_event_type()
{
   if (m_uUserEventType == 0)
   {
      m_uUserEventType = SDL_RegisterEvents(1);
   }
   return m_uUserEventType;
}

void event_loop::push(enum_post epost, main_window * pwindow, particle * pparticle)
{
   SDL_Event event{};
   event.type = user_event_type();
   event.user.code = epost;
   event.user.windowID = pwindow->window_id();
   event.user.data1 = pparticle;
   if (SDL_PushEvent(&event) != 1 && pparticle)
   {
      pparticle->release();
   }
}

void event_loop::dispatch(SDL_Event & event)
{
   if (event.type == SDL_QUIT)
   {
      m_bQuit = true;
      return;
   }
   if (m_uUserEventType != 0 && event.type == m_uUserEventType)
   {
      dispatch_posted(event);
      return;
   }
   if (main_window * pwindow = platform::context::windowing()->find_window(window_id_of(event)))
   {
      // The window may be released by what the event does; keep it until the event is done.
      pointer<main_window> pkeep(pwindow);
      pwindow->handle_event(event);
   }
}

void event_loop::dispatch_posted(SDL_Event & event)
{
   auto * pparticle = static_cast<particle *>(event.user.data1);
   main_window * pwindow = platform::context::windowing()->find_window(event.user.windowID);
   if (pwindow)
   {
      pointer<main_window> pkeep(pwindow);
      if (event.user.code == e_post_redraw)
      {
         pwindow->redraw_now();
      }
      else if (auto * pmessage = dynamic_cast<message::message *>(pparticle))
      {
         pwindow->route_message(pmessage);
      }
   }
   // A message for a window that is gone is dropped with its reference.
   if (pparticle)
   {
      pparticle->release();
   }
}

} // namespace user
