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

// Small writes gather here; a write at least this large goes straight to the file.
constexpr std::size_t buffer_capacity = 64 * 1024;

// After this many bytes the disk is asked to start writing what it holds, so that writing a
// large file overlaps with producing it and the final flush has little left to wait for.
constexpr std::uint64_t writeback_step = 32 * 1024 * 1024;

string_base temporary_name_template(const std::filesystem::path & target)
{
   const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
   return (folder / ("." + target.filename().string() + ".XXXXXX")).string();
}

} // namespace

atomic_file::atomic_file(const std::filesystem::path & target) :
   m_pathTarget(target),
   m_strTemporary(temporary_name_template(target))
{
   m_buffer.reserve(buffer_capacity);
   m_fd = ::mkstemp(m_strTemporary.data());
   if (m_fd < 0)
   {
      m_strTemporary.clear();
      fail("creating a temporary file", errno);
   }
}

atomic_file::~atomic_file()
{
   close_and_remove();
}

void atomic_file::write(const void * pdata, std::size_t size)
{
   const char * p = static_cast<const char *>(pdata);
   if (m_buffer.size() + size > buffer_capacity)
   {
      flush_buffer();
   }
   if (size >= buffer_capacity)
   {
      write_through(m_uAppendOffset, p, size);
      m_uAppendOffset += size;
   }
   else if (!has_failed())
   {
      m_buffer.insert(m_buffer.end(), p, p + size);
   }
}

void atomic_file::write_at(std::uint64_t uOffset, const void * pdata, std::size_t size)
{
   flush_buffer();
   write_through(uOffset, static_cast<const char *>(pdata), size);
}

void atomic_file::flush_buffer()
{
   write_through(m_uAppendOffset, m_buffer.data(), m_buffer.size());
   m_uAppendOffset += m_buffer.size();
   m_buffer.clear();
}

void atomic_file::write_through(std::uint64_t uOffset, const char * p, std::size_t size)
{
   while (size > 0 && !has_failed())
   {
      const ssize_t written = ::pwrite(m_fd, p, size, static_cast<off_t>(uOffset));
      if (written < 0)
      {
         if (errno != EINTR)
         {
            fail("writing", errno);
         }
         continue;
      }
      p += written;
      uOffset += static_cast<std::uint64_t>(written);
      size -= static_cast<std::size_t>(written);
      start_writeback_now_and_then(static_cast<std::uint64_t>(written));
   }
}

void atomic_file::start_writeback_now_and_then(std::uint64_t uWritten)
{
   m_uUnsentBytes += uWritten;
   if (m_uUnsentBytes >= writeback_step)
   {
      // Only a hint: whatever it does, the final fsync makes sure of the bytes.
      ::sync_file_range(m_fd, 0, 0, SYNC_FILE_RANGE_WRITE);
      m_uUnsentBytes = 0;
   }
}

void atomic_file::fail(const char * pszStep, int iErrno)
{
   if (!has_failed())
   {
      m_pszFailedStep = pszStep;
      m_iErrno = iErrno;
   }
}

void atomic_file::close_and_remove()
{
   if (m_fd >= 0)
   {
      ::close(m_fd);
      m_fd = -1;
   }
   if (!m_strTemporary.empty())
   {
      ::unlink(m_strTemporary.c_str());
      m_strTemporary.clear();
   }
}

write_result atomic_file::commit()
{
   flush_buffer();
   if (!has_failed() && ::fchmod(m_fd, 0644) != 0)
   {
      fail("setting permissions", errno);
   }
   if (!has_failed() && ::fsync(m_fd) != 0)
   {
      fail("flushing", errno);
   }
   if (m_fd >= 0)
   {
      if (::close(m_fd) != 0)
      {
         fail("closing", errno);
      }
      m_fd = -1;
   }
   if (!has_failed() && ::rename(m_strTemporary.c_str(), m_pathTarget.c_str()) != 0)
   {
      fail("renaming into place", errno);
   }
   if (has_failed())
   {
      close_and_remove();
      return {false, format("cannot write %s: %s failed: %s", m_pathTarget.c_str(), m_pszFailedStep,
                            std::strerror(m_iErrno))};
   }
   m_strTemporary.clear();
   return {true, {}};
}

write_result write_atomically(const std::filesystem::path & target, const void * pdata, std::size_t size)
{
   atomic_file file(target);
   file.write(pdata, size);
   return file.commit();
}

} // namespace file
