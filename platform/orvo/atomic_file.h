#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

#include "orvo/string.h"

namespace file
{

// What a whole-file write did: usable as a bool, with the reason when it failed.
struct write_result
{
   bool m_bOk = false;
   string_base m_strError;

   explicit operator bool() const noexcept { return m_bOk; }
};

// A whole file written piece by piece, for files too large to build in memory first. The bytes go
// to a temporary file in the target's folder; `commit` flushes it to the disk and renames it over
// the target. On any failure (unwritable folder, full disk), and when the object goes away without
// a commit, the temporary file is removed and the target is left as it was.
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
   bool has_failed() const noexcept { return m_pszFailedStep != nullptr; }

   // Puts the file in place, or removes the temporary file and says why not. Call it once.
   write_result commit();

private:
   void write_through(std::uint64_t uOffset, const char * p, std::size_t size);
   void flush_buffer();
   void start_writeback_now_and_then(std::uint64_t uWritten);
   void fail(const char * pszStep, int iErrno);
   void close_and_remove();

   std::filesystem::path m_pathTarget;
   string_base m_strTemporary;
   int m_fd = -1;
   std::uint64_t m_uAppendOffset = 0;
   std::uint64_t m_uUnsentBytes = 0;
   std::vector<char> m_buffer;
   const char * m_pszFailedStep = nullptr;
   int m_iErrno = 0;
};

// Writes the whole file or nothing, as `atomic_file` does, from bytes held in memory.
write_result write_atomically(const std::filesystem::path & target, const void * pdata, std::size_t size);

inline write_result write_atomically(const std::filesystem::path & target, std::string_view text)
{
   return write_atomically(target, text.data(), text.size());
}

} // namespace file
