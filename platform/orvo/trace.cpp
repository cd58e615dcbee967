#include "orvo/trace.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{

std::atomic<bool> g_bSilent = false;

void write_line(std::FILE * pfile, const char * pszFormat, va_list arguments)
{
   if (g_bSilent)
   {
      return;
   }
   // One locked write per line, so that lines of different threads do not mix.
   ::flockfile(pfile);
   std::vfprintf(pfile, pszFormat, arguments);
   std::fputc('\n', pfile);
   std::fflush(pfile);
   ::funlockfile(pfile);
}

} // namespace

void information(const char * pszFormat, ...)
{
   va_list arguments;
   va_start(arguments, pszFormat);
   write_line(stdout, pszFormat, arguments);
   va_end(arguments);
}

void trace(const char * pszFormat, ...)
{
   va_list arguments;
   va_start(arguments, pszFormat);
   write_line(stderr, pszFormat, arguments);
   va_end(arguments);
}

void debug_trace(const char * pszFormat, ...)
{
   const char * pszAsked = std::getenv("BRISVANE_TRACE");
   if (!pszAsked || !*pszAsked || std::strcmp(pszAsked, "0") == 0)
   {
      return;
   }
   va_list arguments;
   va_start(arguments, pszFormat);
   write_line(stderr, pszFormat, arguments);
   va_end(arguments);
}

void set_logs_silent(bool bSilent)
{
   g_bSilent = bSilent;
}

bool are_logs_silent()
{
   return g_bSilent;
}
