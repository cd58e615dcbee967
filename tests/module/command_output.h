#pragma once

#include <cstdio>
#include <string>

// What a shell command prints on its standard output; empty when it cannot be started.
inline std::string output_of(const std::string & strCommand)
{
   std::string strText;
   if (FILE * pfile = ::popen(strCommand.c_str(), "r"))
   {
      char buffer[4096];
      while (const std::size_t count = std::fread(buffer, 1, sizeof(buffer), pfile))
      {
         strText.append(buffer, count);
      }
      ::pclose(pfile);
   }
   return strText;
}
