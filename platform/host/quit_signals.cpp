#include "host/quit_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "orvo/trace.h"

namespace user
{

namespace
{

// The pipe's end that the handler writes to; -1 while no object watches. An atomic int is safe to
// read in a signal handler.
std::atomic<int> g_fdSignalled{-1};

void on_quit_signal(int)
{
   const int iErrno = errno;
   const char ch = 0;
   // A full pipe holds a quit already: the write neither waits nor needs to succeed.
   [[maybe_unused]] const ssize_t iWritten = ::write(g_fdSignalled.load(), &ch, 1);
   errno = iErrno;
}

// Hands the signal to `on_quit_signal`, keeping its handling until now in `actionBefore`; a signal
// ignored when the program started (SIGINT of a program started in the background) stays ignored.
void take_signal(int iSignal, struct sigaction & actionBefore)
{
   ::sigaction(iSignal, nullptr, &actionBefore);
   if (actionBefore.sa_handler == SIG_IGN)
   {
      return;
   }
   struct sigaction action = {};
   action.sa_handler = on_quit_signal;
   sigemptyset(&action.sa_mask);
   action.sa_flags = SA_RESTART;
   ::sigaction(iSignal, &action, nullptr);
}

} // namespace

quit_signals::quit_signals(std::function<void()> quit) :
   m_quit(std::move(quit))
{
   int fds[2];
   if (::pipe2(fds, O_CLOEXEC) != 0)
   {
      trace("brisvane: SIGTERM and SIGINT may be seen late: no pipe can be made for them (%s)", std::strerror(errno));
      return;
   }
   m_fdRead = fds[0];
   m_fdWrite = fds[1];
   ::fcntl(m_fdWrite, F_SETFL, O_NONBLOCK);
   g_fdSignalled = m_fdWrite;
   m_thread = std::thread(&quit_signals::watch, this);
   take_signal(SIGTERM, m_actionTermBefore);
   take_signal(SIGINT, m_actionIntBefore);
}

quit_signals::~quit_signals()
{
   if (!m_thread.joinable())
   {
      return;
   }
   ::sigaction(SIGTERM, &m_actionTermBefore, nullptr);
   ::sigaction(SIGINT, &m_actionIntBefore, nullptr);
   // The handler writes nowhere from now on, and the write end closed wakes the thread with the
   // end of the pipe.
   g_fdSignalled = -1;
   ::close(m_fdWrite);
   m_thread.join();
   ::close(m_fdRead);
}

void quit_signals::watch()
{
   char buffer[64];
   for (;;)
   {
      const ssize_t iRead = ::read(m_fdRead, buffer, sizeof(buffer));
      if (iRead > 0)
      {
         m_quit();
      }
      else if (iRead == 0 || errno != EINTR)
      {
         return;
      }
   }
}

} // namespace user
