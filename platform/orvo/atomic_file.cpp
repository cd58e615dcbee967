#include "orvo/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <limits.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <string_view>
#include <system_error>

#include "orvo/file_system.h"
#include "orvo/in_place_save.h"

namespace file
{

namespace
{

// Small writes gather here; a write at least this large goes straight to the file.
constexpr std::size_t buffer_capacity = 64 * 1024;

// After this many bytes the disk is asked to start writing what it holds, so that writing a
// large file overlaps with producing it and the final flush has little left to wait for.
constexpr std::uint64_t writeback_step = 32 * 1024 * 1024;

// Temporary names are "." + the target's name (cut to fit) + this mark + this many characters of
// `alphabet`: a name nobody gives a file of their own, so that removing stale temporaries never
// takes a user's file such as ".wall.tvsx.backup".
constexpr std::string_view temporary_mark = "~brisvane-save-";
constexpr std::size_t random_suffix_length = 12;
constexpr std::size_t longest_name_kept = NAME_MAX - 1 - temporary_mark.size() - random_suffix_length;
constexpr std::string_view alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

// The kernel follows no more symbolic links than this in one path either.
constexpr int most_links_followed = 40;

// A named temporary nobody holds is only taken for stale once it is this old, so that a save
// that has just made its temporary and not yet locked it is left alone.
constexpr std::time_t stale_after_seconds = 60;

// The temporary names of one target share this prefix.
string_base temporary_prefix(scoped_string_base strTargetName)
{
   return "." + string_base(strTargetName.substr(0, longest_name_kept)) + string_base(temporary_mark);
}

string_base random_suffix()
{
   unsigned char bytes[random_suffix_length] = {};
   if (::getrandom(bytes, sizeof(bytes), 0) != static_cast<ssize_t>(sizeof(bytes)))
   {
      // Only uniqueness matters: a clash is retried.
      const auto uSeed = static_cast<unsigned long>(::getpid()) ^ static_cast<unsigned long>(std::time(nullptr));
      for (std::size_t i = 0; i < sizeof(bytes); ++i)
      {
         bytes[i] = static_cast<unsigned char>(uSeed >> (i * 5) ^ i * 37);
      }
   }
   string_base strSuffix;
   for (const unsigned char b : bytes)
   {
      strSuffix += alphabet[b % alphabet.size()];
   }
   return strSuffix;
}

// The file at the end of the path's symbolic links: the path itself when it is no link. Empty,
// with errno set, when a link cannot be read or the links loop.
std::filesystem::path file_linked_to(std::filesystem::path path)
{
   for (int iLink = 0; iLink <= most_links_followed; ++iLink)
   {
      struct stat st = {};
      if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
      {
         return path;
      }
      std::error_code error;
      const std::filesystem::path pathLinked = std::filesystem::read_symlink(path, error);
      if (error)
      {
         errno = error.value();
         return {};
      }
      path = pathLinked.is_absolute() ? pathLinked : path.parent_path() / pathLinked;
   }
   errno = ELOOP;
   return {};
}

// The name of the account, or its number when it has none.
string_base user_name(uid_t uid)
{
   passwd entry = {};
   passwd * pentry = nullptr;
   char buffer[4096];
   return ::getpwuid_r(uid, &entry, buffer, sizeof(buffer), &pentry) == 0 && pentry ? string_base(pentry->pw_name) : format("%u", uid);
}

string_base group_name(gid_t gid)
{
   group entry = {};
   group * pentry = nullptr;
   char buffer[4096];
   return ::getgrgid_r(gid, &entry, buffer, sizeof(buffer), &pentry) == 0 && pentry ? string_base(pentry->gr_name) : format("%u", gid);
}

// A free temporary name for the target in `folder`, which `take_name` takes (it returns whether it
// did, leaving errno set when not); names already taken are passed over. Empty, with errno saying
// why, when no name could be taken.
template <typename TakeName>
string_base take_free_name(const std::filesystem::path & folder, const std::filesystem::path & target, const TakeName & take_name)
{
   const string_base strPrefix = (folder / temporary_prefix(target.filename().string())).string();
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
void remove_stale_temporaries(const std::filesystem::path & folder, scoped_string_base strTargetName)
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
      if (!atomic_file::is_temporary_name(pentry->d_name, strTargetName))
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

atomic_file::atomic_file(const std::filesystem::path & target) : m_pathTarget(file_linked_to(target))
{
   m_buffer.reserve(buffer_capacity);
   if (m_pathTarget.empty())
   {
      m_pathTarget = target;
      fail_at_step("following its symbolic links", errno);
      return;
   }
   m_pathFolder = m_pathTarget.has_parent_path() ? m_pathTarget.parent_path() : std::filesystem::path(".");
   check_target();
   if (!has_failed() && is_rewritten_in_place())
   {
      use_record_folder();
   }
   if (!has_failed())
   {
      remove_stale_temporaries(m_pathFolder, m_pathTarget.filename().string());
      open_temporary();
   }
}

bool atomic_file::is_temporary_name(scoped_string_base strName, scoped_string_base strTargetName)
{
   const string_base strPrefix = temporary_prefix(strTargetName);
   return strName.size() == strPrefix.size() + random_suffix_length && strName.starts_with(strPrefix) &&
          strName.substr(strPrefix.size()).find_first_not_of(alphabet) == scoped_string_base::npos;
}

atomic_file::~atomic_file()
{
   close_and_remove();
}

// A file that is there is replaced only when it is a regular file the user may write; its
// permission bits, owner and group are kept for the new file.
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
      m_statReplaced = st;
   }
}

// The new content of a file of several names goes to the record folder, with its record.
void atomic_file::use_record_folder()
{
   const path folder = in_place_record_folder();
   if (folder.is_empty())
   {
      fail(format("it has %llu names (hard links), which stay one file only when it is rewritten in place, and no folder is known "
                  "for the record that lets the next start finish such a save cut short; it is left as it is",
                  static_cast<unsigned long long>(m_statReplaced->st_nlink)));
   }
   else if (const outcome<written> made = dir::make(folder); !made)
   {
      fail(format("it has %llu names (hard links), which stay one file only when it is rewritten in place, and the record of such "
                  "a save cannot be kept: %s; it is left as it is",
                  static_cast<unsigned long long>(m_statReplaced->st_nlink), made.error().c_str()));
   }
   m_pathFolder = folder;
}

// An unnamed file in the target's folder, where the file system makes them; a named one otherwise.
// Either way the save holds a lock on it while it lives, which tells a later save that the file is
// not stale.
void atomic_file::open_temporary()
{
   m_fd = ::open(m_pathFolder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
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
      m_fd = ::open(pszName, O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0666);
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

// Gives the new file the owner and group of the one it replaces. Only the administrator may give a
// file to another user, but anyone may give it a group they belong to: what could not be kept
// is told in the notice, and the save goes on.
void atomic_file::keep_owner_and_group()
{
   const uid_t uid = m_statReplaced->st_uid;
   const gid_t gid = m_statReplaced->st_gid;
   if (::fchown(m_fd, uid, gid) != 0)
   {
      // The group alone, then; what was kept is read back below.
      [[maybe_unused]] const int iGroupKept = ::fchown(m_fd, static_cast<uid_t>(-1), gid);
   }
   struct stat st = {};
   if (::fstat(m_fd, &st) != 0)
   {
      return;
   }
   string_base strChanged;
   if (st.st_uid != uid)
   {
      strChanged = format("it now belongs to %s instead of %s", user_name(st.st_uid).c_str(), user_name(uid).c_str());
   }
   if (st.st_gid != gid)
   {
      strChanged += format("%sits group is now %s instead of %s", strChanged.empty() ? "" : ", and ", group_name(st.st_gid).c_str(),
                           group_name(gid).c_str());
   }
   if (!strChanged.empty())
   {
      m_strNotice = strChanged + " (only the administrator may give a file to another user, or to a group one is not in)";
   }
}

outcome<written> atomic_file::commit()
{
   flush_buffer();
   // A new file takes the owner, group and bits of the one it replaces (the owner first: a change
   // of owner clears the set-user-ID and set-group-ID bits); a file rewritten in place keeps its own.
   if (!has_failed() && m_statReplaced && !is_rewritten_in_place())
   {
      keep_owner_and_group();
      if (!has_failed() && ::fchmod(m_fd, m_statReplaced->st_mode & 07777) != 0)
      {
         fail_at_step("setting permissions", errno);
      }
   }
   if (!has_failed() && ::fsync(m_fd) != 0)
   {
      fail_at_step("flushing", errno);
   }
   if (!has_failed())
   {
      is_rewritten_in_place() ? rewrite_target() : rename_over_target();
   }
   if (has_failed())
   {
      close_and_remove();
      return failure(m_strFailure);
   }
   // The bytes are on the disk already; the file is closed only now so that the lock covers the
   // temporary until it has done its part.
   ::close(m_fd);
   m_fd = -1;
   m_strTemporary.clear();
   return written{m_strNotice};
}

void atomic_file::rename_over_target()
{
   if (m_strTemporary.empty())
   {
      name_unnamed_temporary();
   }
   if (!has_failed() && ::rename(m_strTemporary.c_str(), m_pathTarget.c_str()) != 0)
   {
      fail_at_step("renaming into place", errno);
   }
}

void atomic_file::rewrite_target()
{
   const outcome<> rewritten = save_in_place(m_fd, m_strTemporary, m_pathTarget, *m_statReplaced);
   // The temporary is the in-place save's now: removed, or kept for the next start.
   m_strTemporary.clear();
   if (!rewritten)
   {
      fail(rewritten.error());
   }
}

outcome<written> write_atomically(const std::filesystem::path & target, const void * pdata, std::size_t size)
{
   atomic_file file(target);
   file.write(pdata, size);
   return file.commit();
}

} // namespace file
