#include "orvo/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

namespace file
{

namespace
{

// Small writes gather here; a write at least this large goes straight to the file.
constexpr std::size_t buffer_capacity = 64 * 1024;

// After this many bytes the disk is asked to start writing what it holds, so that writing a
// large file overlaps with producing it and the final flush has little left to wait for.
constexpr std::uint64_t writeback_step = 32 * 1024 * 1024;

// Temporary names are "." + the target's name (cut to fit) + "." + this many random characters.
constexpr std::size_t random_suffix_length = 6;
constexpr std::size_t longest_name_kept = NAME_MAX - random_suffix_length - 2;

// A named temporary nobody holds is only taken for stale once it is this old, so that a save
// that has just made its temporary and not yet locked it is left alone.
constexpr std::time_t stale_after_seconds = 60;

// The temporary names of one target share this prefix.
string_base temporary_prefix(const std::filesystem::path & target)
{
   return "." + target.filename().string().substr(0, longest_name_kept) + ".";
}

string_base random_suffix()
{
   static constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
   unsigned char bytes[random_suffix_length] = {};
   if (::getrandom(bytes, sizeof(bytes), 0) != static_cast<ssize_t>(sizeof(bytes)))
   {
      // Only uniqueness matters: a clash is retried.
      const auto uSeed = static_cast<unsigned long>(::getpid()) ^ static_cast<unsigned long>(std::time(nullptr));
      for (std::size_t i = 0; i < sizeof(bytes); ++i)
      {
         bytes[i] = static_cast<unsigned char>(uSeed >> (i * 5));
      }
   }
   string_base strSuffix;
   for (const unsigned char b : bytes)
   {
      strSuffix += alphabet[b % (sizeof(alphabet) - 1)];
   }
   return strSuffix;
}

bool is_temporary_name(scoped_string_base strName, scoped_string_base strPrefix)
{
   return strName.size() == strPrefix.size() + random_suffix_length && strName.starts_with(strPrefix);
}

// A free temporary name for the target in `folder`, which `take_name` takes (it returns whether it
// did, leaving errno set when not); names already taken are passed over. Empty, with errno saying
// why, when no name could be taken.
template <typename TakeName>
string_base take_free_name(const std::filesystem::path & folder, const std::filesystem::path & target, const TakeName & take_name)
{
   const string_base strPrefix = (folder / temporary_prefix(target)).string();
   for (int iAttempt = 0; iAttempt < 100; ++iAttempt)
   {
      string_base strName = strPrefix + random_suffix();
      if (take_name(strName.c_str()))
      {
         return strName;
      }
      if (errno != EEXIST)
      {
         break;
      }
   }
   return {};
}

// A temporary of ours that no running save holds: a regular file of this user, not locked by
// the save that made it, and not just made.
bool is_stale_temporary(int fd, const struct stat & st)
{
   return S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && std::time(nullptr) - st.st_mtime >= stale_after_seconds &&
          ::flock(fd, LOCK_EX | LOCK_NB) == 0;
}

// Removes the named temporaries of the target that a save killed midway left behind.
void remove_stale_temporaries(const std::filesystem::path & folder, scoped_string_base strPrefix)
{
   const int fdFolder = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
   if (fdFolder < 0)
   {
      return;
   }
   DIR * pdir = ::fdopendir(fdFolder);
   if (pdir == nullptr)
   {
      ::close(fdFolder);
      return;
   }
   while (const dirent * pentry = ::readdir(pdir))
   {
      if (!is_temporary_name(pentry->d_name, strPrefix))
      {
         continue;
      }
      const int fd = ::openat(fdFolder, pentry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
      if (fd < 0)
      {
         continue;
      }
      struct stat st = {};
      if (::fstat(fd, &st) == 0 && is_stale_temporary(fd, st))
      {
         ::unlinkat(fdFolder, pentry->d_name, 0);
      }
      ::close(fd);
   }
   ::closedir(pdir);
}

} // namespace

atomic_file::atomic_file(const std::filesystem::path & target) :
   m_pathTarget(target),
   m_pathFolder(target.has_parent_path() ? target.parent_path() : std::filesystem::path("."))
{
   m_buffer.reserve(buffer_capacity);
   check_target();
   if (!has_failed())
   {
      remove_stale_temporaries(m_pathFolder, temporary_prefix(m_pathTarget));
      open_temporary();
   }
}

atomic_file::~atomic_file()
{
   close_and_remove();
}

// A file that is there is replaced only when it is a regular file the user may write; its
// permission bits are kept for the new file.
void atomic_file::check_target()
{
   struct stat st = {};
   if (::stat(m_pathTarget.c_str(), &st) != 0)
   {
      return;
   }
   if (!S_ISREG(st.st_mode))
   {
      fail(S_ISDIR(st.st_mode) ? "a folder of that name is there" : "it is not a regular file");
   }
   else if ((st.st_mode & 0222) == 0 || ::access(m_pathTarget.c_str(), W_OK) != 0)
   {
      fail("the file is read-only for you, so it is left as it is");
   }
   else
   {
      m_modeKept = st.st_mode & 07777;
   }
}

// An unnamed file in the target's folder, where the file system makes them; a named one otherwise.
// Either way the save holds a lock on it while it lives, which tells a later save that the file is
// not stale.
void atomic_file::open_temporary()
{
   m_fd = ::open(m_pathFolder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
   if (m_fd < 0)
   {
      open_named_temporary();
   }
   if (m_fd >= 0)
   {
      ::flock(m_fd, LOCK_EX | LOCK_NB);
   }
}

void atomic_file::open_named_temporary()
{
   m_strTemporary = take_free_name(m_pathFolder, m_pathTarget, [this](const char * pszName) {
      m_fd = ::open(pszName, O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
      return m_fd >= 0;
   });
   if (m_strTemporary.empty())
   {
      fail_at_step("creating a temporary file", errno);
   }
}

// An unnamed file gets a temporary name first: the kernel links a file only to a free name, and the
// rename that follows replaces the target in one step.
void atomic_file::name_unnamed_temporary()
{
   const string_base strProcPath = format("/proc/self/fd/%d", m_fd);
   m_strTemporary = take_free_name(m_pathFolder, m_pathTarget, [&strProcPath](const char * pszName) {
      return ::linkat(AT_FDCWD, strProcPath.c_str(), AT_FDCWD, pszName, AT_SYMLINK_FOLLOW) == 0;
   });
   if (m_strTemporary.empty())
   {
      fail_at_step("naming the temporary file", errno);
   }
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
            fail_at_step("writing", errno);
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

void atomic_file::fail(scoped_string_base strReason)
{
   if (!has_failed())
   {
      m_strFailure = format("cannot write %s: %s", m_pathTarget.c_str(), string_base(strReason).c_str());
   }
}

void atomic_file::fail_at_step(const char * pszStep, int iErrno)
{
   fail(format("%s failed: %s", pszStep, std::strerror(iErrno)));
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
   if (!has_failed() && m_modeKept && ::fchmod(m_fd, *m_modeKept) != 0)
   {
      fail_at_step("setting permissions", errno);
   }
   if (!has_failed() && ::fsync(m_fd) != 0)
   {
      fail_at_step("flushing", errno);
   }
   if (!has_failed() && m_strTemporary.empty())
   {
      name_unnamed_temporary();
   }
   if (!has_failed() && ::rename(m_strTemporary.c_str(), m_pathTarget.c_str()) != 0)
   {
      fail_at_step("renaming into place", errno);
   }
   if (has_failed())
   {
      close_and_remove();
      return {false, m_strFailure};
   }
   // The bytes are on the disk already; the file is closed only now so that the lock covers the
   // named temporary until the rename.
   ::close(m_fd);
   m_fd = -1;
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
