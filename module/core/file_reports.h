#pragma once

#include "core/forward.h"
#include "orvo/path.h"
#include "orvo/string.h"

template <typename T>
class outcome;

namespace file
{
struct written;
}

namespace Tarvossa_BrisvanePro
{

// Tells the user of a write that failed, so that no failure passes for success, and of what a
// write that succeeded could not keep (the file's owner); true when the file was written.
// `pszWhat` names the file ("The project").
bool report_write(const document_controller & controller, const char * pszWhat, const file::path & path,
                  const outcome<file::written> & result);

// Tells the desktop of a file just written, for its recently used files; a desktop that cannot be
// told is only traced, as the file itself is saved.
void tell_desktop_of_save(const file::path & path);

// What the user is told of a read that did not take the file as written: what ended it early,
// what it went past, and what was kept.
string_base read_faults_text(const string_base & strSubject, const container_read & report, const string_base & strKept);

} // namespace Tarvossa_BrisvanePro
