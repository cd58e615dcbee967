#include "orvo/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace file
{

namespace
{

write_result failure(const std::filesystem::path & target, const char * pszStep, int iErrno)
{
   return {false, format("cannot write %s: %s failed: %s", target.c_str(), pszStep, std::strerror(iErrno))};
}

bool write_all(int fd, const char * p, std::size_t size)
{
   while (size > 0)
   {
      const ssize_t written = ::write(fd, p, size);
      if (written < 0)
      {
         if (errno == EINTR)
         {
            continue;
         }
         return false;
      }
      p += written;
      size -= static_cast<std::size_t>(written);
   }
   return true;
}

} // namespace

write_result write_atomically(const std::filesystem::path & target, const void * pdata, std::size_t size)
{
   const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
   string_base strTemplate = (folder / ("." + target.filename().string() + ".XXXXXX")).string();

   const int fd = ::mkstemp(strTemplate.data());
   if (fd < 0)
   {
      return failure(target, "creating a temporary file", errno);
   }

   const char * pszStep = nullptr;
   if (!write_all(fd, static_cast<const char *>(pdata), size))
   {
      pszStep = "writing";
   }
   else if (::fchmod(fd, 0644) != 0)
   {
      pszStep = "setting permissions";
   }
   else if (::fsync(fd) != 0)
   {
      pszStep = "flushing";
   }
   const int iErrno = errno;

   if (::close(fd) != 0 && !pszStep)
   {
      pszStep = "closing";
   }
   if (!pszStep && ::rename(strTemplate.c_str(), target.c_str()) != 0)
   {
      pszStep = "renaming into place";
   }
   if (pszStep)
   {
      const int iError = iErrno ? iErrno : errno;
      ::unlink(strTemplate.c_str());
      return failure(target, pszStep, iError);
   }
   return {true, {}};
}

} // namespace file
