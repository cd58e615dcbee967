#pragma once

// The controller makes its data folder on construction: a benchmark keeps it out of the user's home.

#include <cstdlib>
#include <filesystem>

#include "orvo/trace.h"

// A folder named `pszName` under the temporary folder, made the process's data folder and home,
// with the logs silenced.
inline std::filesystem::path temporary_data_folder(const char * pszName)
{
   const std::filesystem::path folder = std::filesystem::temp_directory_path() / pszName;
   std::filesystem::create_directories(folder);
   ::setenv("XDG_DATA_HOME", folder.c_str(), 1);
   ::setenv("HOME", folder.c_str(), 1);
   set_logs_silent(true);
   return folder;
}
