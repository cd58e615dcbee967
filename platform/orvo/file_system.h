#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>

#include "orvo/atomic_file.h"
#include "orvo/path.h"
#include "orvo/string.h"

namespace file
{

// The largest file `read_all` reads unless told otherwise.
inline constexpr std::uint64_t default_read_limit = std::uint64_t{1} << 30;

// Reads a regular file of at most `uLimit` bytes. Anything else (a folder, a FIFO, a device, a
// larger file) is refused without reading it, and without waiting for a writer. A failure says
// why (a missing file is a failure like any other).
outcome<string_base> read_all(const path & path, std::uint64_t uLimit = default_read_limit);

// "12 MiB": a byte count for messages.
string_base byte_count_text(std::uint64_t uBytes);

// A size beyond a limit and the limit, as `byte_count_text` words them, or in bytes where the two
// would read the same ("1 GiB, more than the 1 GiB" tells nothing).
std::pair<string_base, string_base> byte_counts_apart(std::uint64_t uSize, std::uint64_t uLimit);

// Writes the whole file through a temporary file renamed into place (see `atomic_file`). The
// folder must exist.
inline outcome<written> write_all(const path & path, scoped_string_base strText)
{
   return write_atomically(path, strText);
}

// Whether a file or folder is there.
bool exists(const path & path);

// Whether any entry has that name: a file, a folder, or a symbolic link, even one that leads
// nowhere (which `exists`, following links, does not see).
bool is_name_taken(const path & path);

// Gives a file another name in the same folder. A file of that name already there is never
// replaced: the failure then says so, and nothing changes.
outcome<> rename_without_replacing(const path & pathFrom, const path & pathTo);

// Gives a file the first of the names `name_for(1)`, `name_for(2)`, ... up to `name_for(iTries)`
// that no entry has taken (see `is_name_taken`); the name it now has, or why it has none.
outcome<path> rename_to_free_name(const path & pathFrom, int iTries, const std::function<path(int)> & name_for);

// What tells one version of a file from the next: where it lies on the disk, its size and when it
// was last written. A file replaced whole (see `atomic_file`) is a new file, with a stamp of its own.
struct stamp
{
   std::uint64_t m_uDevice = 0;
   std::uint64_t m_uInode = 0;
   std::int64_t m_iSize = 0;
   std::int64_t m_iModifiedSeconds = 0;
   std::int64_t m_iModifiedNanoseconds = 0;

   bool operator==(const stamp &) const = default;
};

// The stamp of the file at the end of any links; none when there is no such file.
std::optional<stamp> stamp_of(const path & path);

} // namespace file

namespace dir
{

// Makes the folder and any missing folders above it; an existing folder is success.
outcome<file::written> make(const file::path & path);

// The user's home folder: $HOME, or the account's home when HOME is unset. Empty when neither
// names one (the root folder is none).
file::path home();

// Why `home()` is empty, for messages.
inline constexpr const char * no_home_text = "no home folder is known (HOME is not set, and the account names none)";

// The per-user folder for applications' data: $XDG_DATA_HOME, or ~/.local/share when that is
// unset or not absolute. Empty when neither is known: nothing may then be written there.
file::path user_data();

// The folder of one application's data: `user_data()` joined with the application's name; empty
// when `user_data()` is.
file::path application_data(scoped_string_base strApplicationName);

// The running program's executable file.
file::path program();

} // namespace dir
