#include "orvo/in_place_save.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <optional>
#include <string_view>

#include "orvo/atomic_file.h"
#include "orvo/descriptor.h"
#include "orvo/file_system.h"

namespace file
{

namespace
{

// The content and the record of a save are named after the content file's number on the disk,
// which no other file there has while it lives, and a mark that no user gives a file of their own.
constexpr std::string_view content_mark = "~brisvane-content";
constexpr std::string_view record_mark = "~brisvane-record";
constexpr std::string_view record_magic = "in-place save 1\n";

// Bytes copied at a time.
constexpr std::size_t copy_step = 1024 * 1024;

// Names of a content file that could not be put back: the file's own, then with a number.
constexpr int kept_names = 100;

std::mutex g_mutexFolder;
path g_pathFolder;

// What a record holds: the file rewritten, as it was when the save began, and the content's size.
struct record
{
   std::filesystem::path m_pathTarget;
   std::uint64_t m_uDevice = 0;
   std::uint64_t m_uInode = 0;
   std::uint64_t m_uSize = 0;
};

string_base record_text(const record & r)
{
   return string_base(record_magic) +
          format("device %llu\ninode %llu\nsize %llu\ntarget ", static_cast<unsigned long long>(r.m_uDevice),
                 static_cast<unsigned long long>(r.m_uInode), static_cast<unsigned long long>(r.m_uSize)) +
          r.m_pathTarget.string();
}

// Takes "KEY NUMBER\n" from the front of the text.
std::optional<std::uint64_t> take_number(std::string_view & text, std::string_view key)
{
   std::uint64_t u = 0;
   if (!text.starts_with(key) || text.size() <= key.size() || text[key.size()] != ' ')
   {
      return std::nullopt;
   }
   const char * pBegin = text.data() + key.size() + 1;
   const auto [pEnd, error] = std::from_chars(pBegin, text.data() + text.size(), u);
   if (error != std::errc() || pEnd == text.data() + text.size() || *pEnd != '\n')
   {
      return std::nullopt;
   }
   text.remove_prefix(static_cast<std::size_t>(pEnd - text.data()) + 1);
   return u;
}

std::optional<record> parse_record(std::string_view text)
{
   if (!text.starts_with(record_magic))
   {
      return std::nullopt;
   }
   text.remove_prefix(record_magic.size());
   const std::optional<std::uint64_t> oDevice = take_number(text, "device");
   const std::optional<std::uint64_t> oInode = oDevice ? take_number(text, "inode") : std::nullopt;
   const std::optional<std::uint64_t> oSize = oInode ? take_number(text, "size") : std::nullopt;
   constexpr std::string_view target_key = "target ";
   if (!oSize || !text.starts_with(target_key) || text.size() == target_key.size())
   {
      return std::nullopt;
   }
   return record{std::filesystem::path(text.substr(target_key.size())), *oDevice, *oInode, *oSize};
}

string_base errno_text(const char * pszStep)
{
   return format("%s failed: %s", pszStep, std::strerror(errno));
}

// The file's content and record, by the content file's number.
std::filesystem::path content_path(const std::filesystem::path & folder, std::uint64_t uNumber)
{
   return folder / (std::to_string(uNumber) + std::string(content_mark));
}

std::filesystem::path record_path(const std::filesystem::path & folder, std::uint64_t uNumber)
{
   return folder / (std::to_string(uNumber) + std::string(record_mark));
}

void sync_folder(const std::filesystem::path & folder)
{
   const descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
   if (fd.get() >= 0)
   {
      ::fsync(fd.get());
   }
}

// A rewrite that failed, and whether the target may be cut short by it.
struct rewrite_failure
{
   string_base m_strWhy;
   bool m_bTargetTouched = false;
};

// Rewrites the file of the record with the content's bytes, cuts it to their length and flushes it.
// The file must still be the one the save began on.
std::optional<rewrite_failure> rewrite(int fdContent, const record & r)
{
   const descriptor fdTarget(::open(r.m_pathTarget.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
   struct stat st = {};
   if (fdTarget.get() < 0 || ::fstat(fdTarget.get(), &st) != 0)
   {
      return rewrite_failure{errno == ENOENT ? string_base("the file is no longer there") : errno_text("opening the file")};
   }
   if (st.st_dev != r.m_uDevice || st.st_ino != r.m_uInode)
   {
      return rewrite_failure{"another file has taken its name since"};
   }
   // Room for what the file grows by is taken first, so that a full disk stops the save before
   // anything of the file is changed.
   if (r.m_uSize > static_cast<std::uint64_t>(st.st_size) &&
       ::fallocate(fdTarget.get(), FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(r.m_uSize)) != 0 && errno != EOPNOTSUPP)
   {
      return rewrite_failure{errno_text("making room for it")};
   }
   std::vector<char> buffer(copy_step);
   for (std::uint64_t uDone = 0; uDone < r.m_uSize;)
   {
      const ssize_t iRead = ::pread(fdContent, buffer.data(), std::min<std::uint64_t>(copy_step, r.m_uSize - uDone), static_cast<off_t>(uDone));
      if (iRead < 0 && errno == EINTR)
      {
         continue;
      }
      if (iRead <= 0)
      {
         return rewrite_failure{iRead < 0 ? errno_text("reading what was saved") : string_base("what was saved ends early"), uDone > 0};
      }
      for (ssize_t iWritten = 0; iWritten < iRead;)
      {
         const ssize_t i = ::pwrite(fdTarget.get(), buffer.data() + iWritten, static_cast<std::size_t>(iRead - iWritten),
                                    static_cast<off_t>(uDone + static_cast<std::uint64_t>(iWritten)));
         if (i < 0 && errno != EINTR)
         {
            return rewrite_failure{errno_text("rewriting it"), true};
         }
         iWritten += std::max<ssize_t>(i, 0);
      }
      uDone += static_cast<std::uint64_t>(iRead);
   }
   if (::ftruncate(fdTarget.get(), static_cast<off_t>(r.m_uSize)) != 0)
   {
      return rewrite_failure{errno_text("cutting it to its new length"), true};
   }
   if (::fsync(fdTarget.get()) != 0)
   {
      return rewrite_failure{errno_text("flushing it"), true};
   }
   return std::nullopt;
}

// The record first: a content file without one is a save that never began to rewrite its file.
void remove_record_and_content(const std::filesystem::path & pathRecord, const std::filesystem::path & pathContent)
{
   ::unlink(pathRecord.c_str());
   ::unlink(pathContent.c_str());
}

// Gives the content of a save that cannot be finished the name of the file it was for, in the
// record folder; where it could not be moved, it stays where it is.
path keep_content(const std::filesystem::path & pathContent, const std::filesystem::path & target)
{
   const std::filesystem::path folder = pathContent.parent_path();
   const string_base strStem = target.stem().string();
   const string_base strExtension = target.extension().string();
   const outcome<path> kept = rename_to_free_name(pathContent, kept_names, [&](int iTry) {
      return path(folder / (iTry == 1 ? target.filename().string() : format("%s-%d%s", strStem.c_str(), iTry, strExtension.c_str())));
   });
   return kept ? kept.value() : path(pathContent);
}

// Finishes the one save whose content file this is, unless a running save holds it.
std::optional<interrupted_save> finish(const std::filesystem::path & pathContent)
{
   const descriptor fdContent(::open(pathContent.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
   struct stat st = {};
   if (fdContent.get() < 0 || ::flock(fdContent.get(), LOCK_EX | LOCK_NB) != 0 || ::fstat(fdContent.get(), &st) != 0 || !S_ISREG(st.st_mode))
   {
      return std::nullopt;
   }
   const std::filesystem::path pathRecord = record_path(pathContent.parent_path(), st.st_ino);
   if (!is_name_taken(pathRecord))
   {
      // Cut short before the record was written, or after the file was rewritten and its record
      // removed: either way the file is whole.
      ::unlink(pathContent.c_str());
      return std::nullopt;
   }
   const outcome<string_base> text = read_all(pathRecord);
   const std::optional<record> orecord = text ? parse_record(text.value()) : std::nullopt;
   if (!orecord)
   {
      // Which file it is for is not known: both stay, and are told at every start.
      return interrupted_save{{}, pathContent, text ? format("its record \"%s\" cannot be read", pathRecord.c_str()) : text.error()};
   }
   std::optional<rewrite_failure> ofailure = static_cast<std::uint64_t>(st.st_size) == orecord->m_uSize
                                                ? rewrite(fdContent.get(), *orecord)
                                                : rewrite_failure{"what was saved is not whole"};
   if (!ofailure)
   {
      remove_record_and_content(pathRecord, pathContent);
      return interrupted_save{orecord->m_pathTarget, {}, {}};
   }
   const path pathKept = keep_content(pathContent, orecord->m_pathTarget);
   if (pathKept.as_string() != pathContent.string())
   {
      ::unlink(pathRecord.c_str());
   }
   return interrupted_save{orecord->m_pathTarget, pathKept, ofailure->m_strWhy};
}

} // namespace

void set_in_place_record_folder(const path & folder)
{
   const std::lock_guard lock(g_mutexFolder);
   g_pathFolder = folder;
}

path in_place_record_folder()
{
   const std::lock_guard lock(g_mutexFolder);
   return g_pathFolder;
}

outcome<> save_in_place(int fdContent, const string_base & strNamed, const std::filesystem::path & target, const struct stat & stTarget)
{
   const bool bNamed = !strNamed.empty();
   auto give_up = [&](const char * pszStep) {
      const string_base strWhy = errno_text(pszStep);
      if (bNamed)
      {
         ::unlink(strNamed.c_str());
      }
      return failure(strWhy);
   };
   struct stat st = {};
   if (::fstat(fdContent, &st) != 0)
   {
      return give_up("reading the new content's size");
   }
   const std::filesystem::path folder = in_place_record_folder();
   const std::filesystem::path pathContent = content_path(folder, st.st_ino);
   const std::filesystem::path pathRecord = record_path(folder, st.st_ino);
   // Pass 1: the content and its record are named, and the names are on the disk.
   if ((bNamed ? ::rename(strNamed.c_str(), pathContent.c_str())
               : ::linkat(AT_FDCWD, format("/proc/self/fd/%d", fdContent).c_str(), AT_FDCWD, pathContent.c_str(), AT_SYMLINK_FOLLOW)) != 0)
   {
      return give_up("naming the new content");
   }
   const record r{target, static_cast<std::uint64_t>(stTarget.st_dev), static_cast<std::uint64_t>(stTarget.st_ino),
                  static_cast<std::uint64_t>(st.st_size)};
   if (const outcome<written> recorded = write_atomically(pathRecord, record_text(r)); !recorded)
   {
      ::unlink(pathContent.c_str());
      return failure(format("keeping a record of the save failed: %s", recorded.error().c_str()));
   }
   sync_folder(folder);
   // Pass 2: the file itself.
   if (const std::optional<rewrite_failure> ofailure = rewrite(fdContent, r))
   {
      if (ofailure->m_bTargetTouched)
      {
         return failure(format("%s, so it may now be cut short; what was saved is kept in \"%s\", and the next start of the "
                               "program finishes the save",
                               ofailure->m_strWhy.c_str(), pathContent.c_str()));
      }
      remove_record_and_content(pathRecord, pathContent);
      return failure(ofailure->m_strWhy);
   }
   remove_record_and_content(pathRecord, pathContent);
   return {};
}

std::vector<interrupted_save> finish_interrupted_saves()
{
   const std::filesystem::path folder = in_place_record_folder();
   std::vector<std::filesystem::path> contents;
   std::error_code error;
   for (const auto & entry : std::filesystem::directory_iterator(folder, error))
   {
      if (entry.path().filename().string().ends_with(content_mark))
      {
         contents.push_back(entry.path());
      }
   }
   std::vector<interrupted_save> saves;
   for (const std::filesystem::path & pathContent : contents)
   {
      if (std::optional<interrupted_save> osave = finish(pathContent))
      {
         saves.push_back(std::move(*osave));
      }
   }
   return saves;
}

} // namespace file
