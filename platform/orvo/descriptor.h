#pragma once

#include <unistd.h>

namespace file
{

// An open file descriptor, closed when the object goes; -1 holds none.
class descriptor
{
public:
   explicit descriptor(int fd) : m_fd(fd) {}
   ~descriptor()
   {
      if (m_fd >= 0)
      {
         ::close(m_fd);
      }
   }
   descriptor(const descriptor &) = delete;
   descriptor & operator=(const descriptor &) = delete;

   int get() const noexcept { return m_fd; }

private:
   int m_fd;
};

} // namespace file
