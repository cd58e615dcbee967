#pragma once

#include <signal.h>

#include <functional>
#include <thread>

namespace user
{

// Turns SIGTERM and SIGINT (the desktop ending its session, Ctrl+C in a terminal) into a call of
// `quit` on a thread of its own, for as long as the object lives; the signals' earlier handling
// comes back when it goes. A signal that is ignored (SIGINT of a program that a shell started in
// the background) stays ignored.
//
// SDL's own handling only marks the signal, for SDL to see the next time it looks at its events; a
// signal that comes after that look and before SDL sleeps in its wait is seen only when some other
// event wakes the wait, perhaps never. Here the handler hands the signal to the thread through a
// pipe, and the thread posts the quit, which wakes the wait whenever it comes.
class quit_signals
{
public:
   // `quit` must be safe to call from another thread than the UI thread. Without a pipe, the
   // signals keep their handling, with a line that says so.
   explicit quit_signals(std::function<void()> quit);
   ~quit_signals();
   quit_signals(const quit_signals &) = delete;
   quit_signals & operator=(const quit_signals &) = delete;

private:
   void watch();

   std::function<void()> m_quit;
   int m_fdRead = -1;
   int m_fdWrite = -1;
   struct sigaction m_actionTermBefore = {};
   struct sigaction m_actionIntBefore = {};
   std::thread m_thread;
};

} // namespace user
