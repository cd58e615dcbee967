#pragma once

// Files for tests: a fresh folder of the test's own, a file's bytes, and the blocks of project text.

#include <filesystem>
#include <fstream>
#include <sstream>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "orvo/atomic_file.h"
#include "orvo/string.h"

// An empty folder under the temporary folder, named after `strName` and this process, so that
// tests running side by side keep apart. Whatever an earlier run left there is removed.
inline std::filesystem::path fresh_folder(scoped_string_base strName)
{
   const std::filesystem::path folder = std::filesystem::temp_directory_path()
      / format("brisvane-%s-%d", string_base(strName).c_str(), static_cast<int>(::getpid()));
   std::filesystem::remove_all(folder);
   std::filesystem::create_directories(folder);
   return folder;
}

// The whole file as bytes; empty when it cannot be read.
inline string_base read_all(const std::filesystem::path & path)
{
   std::ifstream in(path, std::ios::binary);
   std::ostringstream text;
   text << in.rdbuf();
   return text.str();
}

// One block of a project file: its type and length on a line, then the text.
inline string_base project_block(int iType, scoped_string_base strText)
{
   return format("%d %zu\n", iType, strText.size()) + string_base(strText);
}

// The smallest screen layer block: a name and two columns.
inline string_base screen_block(scoped_string_base strName)
{
   return project_block(1, "Name:" + string_base(strName) + "\nColumns:2");
}

// Saves `strText` to a file of several names in a child process that is killed while it rewrites
// the file in place, a first megabyte of it written: the file is then cut short, and the save's
// content and record wait in the record folder. `strText` must be longer than a megabyte and no
// longer than the file, which then never has to grow (making room could stop the save early). The
// child's wait status.
inline int save_killed_midway(const std::filesystem::path & target, scoped_string_base strText)
{
   const pid_t child = ::fork();
   if (child == 0)
   {
      const rlimit noCore = {0, 0};
      ::setrlimit(RLIMIT_CORE, &noCore);
      ::signal(SIGXFSZ, SIG_DFL);
      file::atomic_file out(target);
      out.write(strText.data(), strText.size());
      // Past this size the kernel kills a writer, as the user or the system may kill the program.
      const rlimit oneMegabyte = {1 << 20, 1 << 20};
      ::setrlimit(RLIMIT_FSIZE, &oneMegabyte);
      (void)out.commit();
      ::_exit(0);
   }
   int iStatus = 0;
   ::waitpid(child, &iStatus, 0);
   return iStatus;
}
