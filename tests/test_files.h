#pragma once

// Files for tests: a fresh folder of the test's own, a file's bytes, and the blocks of project text.

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

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
