#include "orvo/file_lock.h"

#include <cerrno>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace file
{

namespace
{

// Short enough that the wait ends soon after the other holder lets go.
constexpr std::chrono::milliseconds retry_interval{10};

} // namespace

file_lock::file_lock(const path & pathLock, std::chrono::milliseconds wait)
{
   // Read access is enough for flock, so a lock file of another user in a shared folder serves too.
   m_fd = ::open(pathLock.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
   if (m_fd < 0)
   {
      m_strFailure = format("the lock file \"%s\" cannot be opened: %s", pathLock.c_str(), std::strerror(errno));
      return;
   }
   const auto deadline = std::chrono::steady_clock::now() + wait;
   while (::flock(m_fd, LOCK_EX | LOCK_NB) != 0)
   {
      if (errno == EINTR)
      {
         continue;
      }
      if (errno != EWOULDBLOCK)
      {
         m_strFailure = format("the lock file \"%s\" cannot be locked: %s", pathLock.c_str(), std::strerror(errno));
         return;
      }
      if (std::chrono::steady_clock::now() >= deadline)
      {
         m_bBusy = true;
         m_strFailure = format("another program has held the lock file \"%s\" for longer than %lld ms", pathLock.c_str(),
                               static_cast<long long>(wait.count()));
         return;
      }
      std::this_thread::sleep_for(retry_interval);
   }
}

file_lock::~file_lock()
{
   // Closing the file lets go of the lock.
   if (m_fd >= 0)
   {
      ::close(m_fd);
   }
}

} // namespace file
