#include "orvo/file_system.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <system_error>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "orvo/descriptor.h"

namespace file
{

namespace
{

// A file is read this much at a time: the buffer stays in the second-level cache.
constexpr std::size_t read_stretch = std::size_t(256) << 10;

// Why a file of this kind is not read; empty for a regular file.
string_base kind_refused(mode_t mode)
{
   if (S_ISREG(mode))
   {
      return {};
   }
   if (S_ISDIR(mode))
   {
      return "it is a folder";
   }
   if (S_ISFIFO(mode))
   {
      return "it is a pipe (FIFO), not a file";
   }
   if (S_ISCHR(mode) || S_ISBLK(mode))
   {
      return "it is a device, not a file";
   }
   return "it is not a regular file";
}

} // namespace

string_base byte_count_text(std::uint64_t uBytes)
{
   static constexpr const char * units[] = {"bytes", "KiB", "MiB", "GiB", "TiB"};
   std::size_t iUnit = 0;
   double dValue = static_cast<double>(uBytes);
   while (dValue >= 1024.0 && iUnit + 1 < std::size(units))
   {
      dValue /= 1024.0;
      ++iUnit;
   }
   return iUnit == 0 ? format("%llu bytes", static_cast<unsigned long long>(uBytes)) : format("%.4g %s", dValue, units[iUnit]);
}

std::pair<string_base, string_base> byte_counts_apart(std::uint64_t uSize, std::uint64_t uLimit)
{
   string_base strSize = byte_count_text(uSize);
   string_base strLimit = byte_count_text(uLimit);
   if (strSize == strLimit)
   {
      strSize = format("%llu bytes", static_cast<unsigned long long>(uSize));
      strLimit = format("%llu bytes (%s)", static_cast<unsigned long long>(uLimit), strLimit.c_str());
   }
   return {strSize, strLimit};
}

outcome<string_base> read_all(const path & path, std::uint64_t uLimit)
{
   // Not blocking: opening a FIFO would otherwise wait for a writer.
   const descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
   struct stat st = {};
   if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0)
   {
      return failure(format("cannot open \"%s\": %s", path.c_str(), std::strerror(errno)));
   }
   if (const string_base strRefused = kind_refused(st.st_mode); !strRefused.empty())
   {
      return failure(format("cannot read \"%s\": %s", path.c_str(), strRefused.c_str()));
   }
   const auto uSize = static_cast<std::uint64_t>(st.st_size);
   if (uSize > uLimit)
   {
      const auto [strSize, strLimit] = byte_counts_apart(uSize, uLimit);
      return failure(format("cannot read \"%s\": it holds %s, more than the %s a file may have here", path.c_str(), strSize.c_str(),
                                 strLimit.c_str()));
   }
   // The text is sized once for the file and never cleared: the bytes come a stretch at a time
   // through a buffer that stays in the cache. A file that grows meanwhile is read to its end,
   // within the limit.
   string_base strText;
   strText.reserve(static_cast<std::size_t>(uSize));
   const std::size_t iStretch = static_cast<std::size_t>(std::min<std::uint64_t>(uSize + 1, read_stretch));
   const std::unique_ptr<char[]> pstretch(new char[iStretch]);
   for (;;)
   {
      const ssize_t iRead = ::read(fd.get(), pstretch.get(), iStretch);
      if (iRead < 0 && errno == EINTR)
      {
         continue;
      }
      if (iRead < 0)
      {
         return failure(format("cannot read \"%s\": %s", path.c_str(), std::strerror(errno)));
      }
      if (iRead == 0)
      {
         break;
      }
      if (strText.size() + static_cast<std::size_t>(iRead) > uLimit)
      {
         return failure(format("cannot read \"%s\": it grew beyond %s while it was read", path.c_str(), byte_count_text(uLimit).c_str()));
      }
      strText.append(pstretch.get(), static_cast<std::size_t>(iRead));
   }
   return strText;
}

bool exists(const path & path)
{
   std::error_code error;
   return std::filesystem::exists(path, error);
}

bool is_name_taken(const path & path)
{
   struct stat st = {};
   return ::lstat(path.c_str(), &st) == 0;
}

outcome<> rename_without_replacing(const path & pathFrom, const path & pathTo)
{
   if (::renameat2(AT_FDCWD, pathFrom.c_str(), AT_FDCWD, pathTo.c_str(), RENAME_NOREPLACE) == 0)
   {
      return {};
   }
   if (errno != EINVAL)
   {
      return failure(std::strerror(errno));
   }
   // A file system that cannot rename without replacing: a second link fails the same way on a
   // name that is taken, and the first link then goes.
   if (::link(pathFrom.c_str(), pathTo.c_str()) != 0 || ::unlink(pathFrom.c_str()) != 0)
   {
      return failure(std::strerror(errno));
   }
   return {};
}

outcome<path> rename_to_free_name(const path & pathFrom, int iTries, const std::function<path(int)> & name_for)
{
   for (int iTry = 1; iTry <= iTries; ++iTry)
   {
      const path pathTo = name_for(iTry);
      if (const outcome<> moved = rename_without_replacing(pathFrom, pathTo); moved)
      {
         return pathTo;
      }
      else if (!is_name_taken(pathTo))
      {
         return failure(moved.error());
      }
   }
   return failure(format("the %d names it may take are all taken", iTries));
}

std::optional<stamp> stamp_of(const path & path)
{
   struct stat st = {};
   if (::stat(path.c_str(), &st) != 0)
   {
      return std::nullopt;
   }
   return stamp{st.st_dev, st.st_ino, st.st_size, st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
}

} // namespace file

namespace dir
{

namespace
{

// The variable's value when it is set and is an absolute path.
const char * absolute_variable(const char * pszName)
{
   const char * pszValue = std::getenv(pszName);
   return pszValue && pszValue[0] == '/' ? pszValue : nullptr;
}

} // namespace

outcome<file::written> make(const file::path & path)
{
   std::error_code error;
   std::filesystem::create_directories(path, error);
   if (error || !std::filesystem::is_directory(path, error))
   {
      return failure(format("cannot make the folder \"%s\": %s", path.c_str(),
                            error ? error.message().c_str() : "a file of that name is there"));
   }
   return file::written{};
}

file::path home()
{
   if (const char * pszHome = absolute_variable("HOME"))
   {
      return pszHome;
   }
   // The root folder is no home: files put there would be the whole system's.
   const passwd * ppasswd = ::getpwuid(::getuid());
   const bool bHome = ppasswd && ppasswd->pw_dir && ppasswd->pw_dir[0] == '/' && ppasswd->pw_dir[1] != '\0';
   return bHome ? file::path(ppasswd->pw_dir) : file::path();
}

file::path user_data()
{
   if (const char * pszDataHome = absolute_variable("XDG_DATA_HOME"))
   {
      return pszDataHome;
   }
   const file::path pathHome = home();
   return pathHome.is_empty() ? file::path() : pathHome / ".local/share";
}

file::path application_data(scoped_string_base strApplicationName)
{
   const file::path pathData = user_data();
   return pathData.is_empty() ? file::path() : pathData / strApplicationName;
}

file::path program()
{
   std::error_code error;
   return std::filesystem::read_symlink("/proc/self/exe", error);
}

} // namespace dir
