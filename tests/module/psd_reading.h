#pragma once

#include <cstdio>

#include "orvo/string.h"

// What an independent reader ("psd-tools", "pillow" or "magick") sees in a layered document, in
// the text form that tests/module/read_psd.py prints.
inline string_base read_psd_with(const char * pszReader, const char * pszPath)
{
   const string_base strCommand = format("/usr/bin/python3 %s/tests/module/read_psd.py %s '%s' 2>&1", BRISVANE_SOURCE_DIR,
                                         pszReader, pszPath);
   FILE * pipe = ::popen(strCommand.c_str(), "r");
   string_base str;
   char buffer[4096];
   while (const std::size_t count = std::fread(buffer, 1, sizeof(buffer), pipe))
   {
      str.append(buffer, count);
   }
   ::pclose(pipe);
   return str;
}
