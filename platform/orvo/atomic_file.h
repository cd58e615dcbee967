#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "orvo/outcome.h"
#include "orvo/string.h"

namespace file
{

// A whole file written, and what the user should know of it (an owner the system did not let the
// user keep); the notice is empty when there is nothing to tell.
struct written
{
   string_base m_strNotice;
};

// A whole file written piece by piece, for files too large to build in memory first. The bytes go
// to a temporary file in the target's folder, unnamed where the file system allows it (so that a
// program killed midway leaves nothing behind); `commit` flushes it to the disk and puts it in
// place of the target. On any failure (unwritable folder, full disk), and when the object goes away
// without a commit, the temporary file is removed and the target is left as it was.
//
// A target that is a symbolic link stays one: the file at the end of the links is replaced (or
// made, when the last link dangles). A file of several names (hard links) stays one file, which
// every name sees saved: its new content is written whole and flushed in the record folder, and
// the file is then rewritten in place, so that a save cut short midway is finished at the next
// start (see `in_place_save.h`); without a record folder such a file is refused, never split. A target that exists must be a regular file the user may
// write (a read-only file is refused, not replaced); its permission bits, owner and group carry
// over to the new file as far as the system allows (only the administrator may give a file to
// another user; the group is kept whenever the user belongs to it), and the commit's notice says
// what could not be kept. A new file gets the bits that the user's umask leaves of 0666.
//
// A named temporary has a name no user would give (see `is_temporary_name`); those that an
// earlier, killed save left beside the target are removed, and no other file.
class atomic_file
{
public:
   explicit atomic_file(const std::filesystem::path & target);
   ~atomic_file();
   atomic_file(const atomic_file &) = delete;
   atomic_file & operator=(const atomic_file &) = delete;

   // Appends bytes. After the first failure every later write is skipped; `commit` reports it.
   void write(const void * pdata, std::size_t size);
   // Puts bytes at a position of the file, for a layout known in advance whose parts are produced
   // out of order; appending goes on where it was. Bytes never written read as zero.
   void write_at(std::uint64_t uOffset, const void * pdata, std::size_t size);
   bool has_failed() const noexcept { return !m_strFailure.empty(); }

   // Puts the file in place, or removes the temporary file and says why not. Call it once.
   outcome<written> commit();

   // Whether a file name is that of a temporary this class makes for the target `strTargetName`.
   static bool is_temporary_name(scoped_string_base strName, scoped_string_base strTargetName);

private:
   void check_target();
   bool is_rewritten_in_place() const noexcept { return m_statReplaced && m_statReplaced->st_nlink > 1; }
   void use_record_folder();
   void keep_owner_and_group();
   void open_temporary();
   void open_named_temporary();
   void name_unnamed_temporary();
   void rename_over_target();
   void rewrite_target();
   void write_through(std::uint64_t uOffset, const char * p, std::size_t size);
   void flush_buffer();
   void start_writeback_now_and_then(std::uint64_t uWritten);
   void fail(scoped_string_base strReason);
   void fail_at_step(const char * pszStep, int iErrno);
   void close_and_remove();

   // The file replaced: the target itself, or the file its links lead to.
   std::filesystem::path m_pathTarget;
   // Where the temporary file is made: the target's folder, or the record folder.
   std::filesystem::path m_pathFolder;
   // The permission bits, owner and group of the file being replaced; none for a new file.
   std::optional<struct stat> m_statReplaced;
   // The temporary file's name; empty while it has none (unnamed, or not made).
   string_base m_strTemporary;
   int m_fd = -1;
   std::uint64_t m_uAppendOffset = 0;
   std::uint64_t m_uUnsentBytes = 0;
   std::vector<char> m_buffer;
   string_base m_strFailure;
   string_base m_strNotice;
};

// Writes the whole file or nothing, as `atomic_file` does, from bytes held in memory.
outcome<written> write_atomically(const std::filesystem::path & target, const void * pdata, std::size_t size);

inline outcome<written> write_atomically(const std::filesystem::path & target, std::string_view text)
{
   return write_atomically(target, text.data(), text.size());
}

} // namespace file
