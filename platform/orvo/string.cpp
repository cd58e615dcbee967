#include "orvo/string.h"

#include <cstdarg>
#include <cstdio>

string_base format(const char * pszFormat, ...)
{
   va_list arguments;
   va_start(arguments, pszFormat);
   va_list measuring;
   va_copy(measuring, arguments);
   const int length = std::vsnprintf(nullptr, 0, pszFormat, measuring);
   va_end(measuring);

   string_base text;
   if (length > 0)
   {
      text.resize(static_cast<std::size_t>(length));
      std::vsnprintf(text.data(), text.size() + 1, pszFormat, arguments);
   }
   va_end(arguments);
   return text;
}
