#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <vector>

#include "orvo/outcome.h"
#include "orvo/path.h"
#include "orvo/string.h"

namespace file
{

// A file of several names (hard links) stays one file when it is saved: a new file renamed over
// one name would leave the other names with the old content. `atomic_file` writes the new content
// whole into the record folder and flushes it to the disk, records there which file it is for,
// and only then rewrites the file in place; the content and its record go once the file is
// flushed too. A save cut short meanwhile (the program killed, the machine stopped) leaves both
// behind, and `finish_interrupted_saves` rewrites the file from them at the next start.
//
// The record folder (the application's data folder, say) is set once the application knows it;
// until then, a file of several names is not saved at all.
void set_in_place_record_folder(const path & folder);
path in_place_record_folder();

// The rest of a save of `target`, the file that `stTarget` describes, once the new content is
// written whole and flushed in the open file `fdContent` (made in the record folder, locked by
// this save, and unnamed or named `strNamed`). The content file is taken over: it is removed,
// unless the target may be cut short, and is then kept with its record for the next start (the
// failure says so). The target is left as it was on any other failure.
outcome<> save_in_place(int fdContent, const string_base & strNamed, const std::filesystem::path & target, const struct stat & stTarget);

// What became of a save that was cut short: finished, or not, and then why not and where what was
// saved is kept.
struct interrupted_save
{
   path m_pathTarget;
   path m_pathKept;
   string_base m_strWhy;

   bool is_finished() const noexcept { return m_pathKept.is_empty(); }
};

// Finishes the saves cut short whose content and record are in the record folder. One that cannot
// be finished (the file is gone, or another has taken its name since) keeps what was saved in the
// record folder, under the file's own name (or that name with "-2", "-3", ...). Saves still running
// in another program are left alone.
std::vector<interrupted_save> finish_interrupted_saves();

} // namespace file
