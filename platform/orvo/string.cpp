#include "orvo/string.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace
{

char ascii_lower(char ch)
{
   return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
}

char ascii_upper(char ch)
{
   return ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch;
}

bool is_white_space(char ch)
{
   return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r' || ch == '\v' || ch == '\f';
}

} // namespace

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

string_base upper_case(scoped_string_base str)
{
   string_base result(str);
   std::transform(result.begin(), result.end(), result.begin(), ascii_upper);
   return result;
}

string_base lower_case(scoped_string_base str)
{
   string_base result(str);
   std::transform(result.begin(), result.end(), result.begin(), ascii_lower);
   return result;
}

int compare_ci(scoped_string_base a, scoped_string_base b)
{
   const std::size_t common = std::min(a.size(), b.size());
   for (std::size_t i = 0; i < common; i++)
   {
      // Compare as unsigned bytes so that UTF-8 sequences sort after ASCII.
      const auto chA = static_cast<unsigned char>(ascii_lower(a[i]));
      const auto chB = static_cast<unsigned char>(ascii_lower(b[i]));
      if (chA != chB)
      {
         return chA < chB ? -1 : 1;
      }
   }
   if (a.size() == b.size())
   {
      return 0;
   }
   return a.size() < b.size() ? -1 : 1;
}

bool equals_ci(scoped_string_base a, scoped_string_base b)
{
   return a.size() == b.size() && compare_ci(a, b) == 0;
}

bool begins_ci(scoped_string_base str, scoped_string_base strPrefix)
{
   return str.size() >= strPrefix.size() && equals_ci(str.substr(0, strPrefix.size()), strPrefix);
}

bool ends_ci(scoped_string_base str, scoped_string_base strSuffix)
{
   return str.size() >= strSuffix.size() && equals_ci(str.substr(str.size() - strSuffix.size()), strSuffix);
}

scoped_string_base trimmed(scoped_string_base str)
{
   while (!str.empty() && is_white_space(str.front()))
   {
      str.remove_prefix(1);
   }
   while (!str.empty() && is_white_space(str.back()))
   {
      str.remove_suffix(1);
   }
   return str;
}

std::size_t find_line_end(scoped_string_base strText, std::size_t iStart) noexcept
{
   // Two scans that the C library makes many bytes at a time: for the line feed, then for a
   // carriage return before it. A line of a picture's data runs to megabytes.
   const char * pszStart = strText.data() + iStart;
   const std::size_t iRest = strText.size() - iStart;
   const auto * pszLineFeed = static_cast<const char *>(std::memchr(pszStart, '\n', iRest));
   const std::size_t iLength = pszLineFeed ? static_cast<std::size_t>(pszLineFeed - pszStart) : iRest;
   const auto * pszReturn = static_cast<const char *>(std::memchr(pszStart, '\r', iLength));
   return iStart + (pszReturn ? static_cast<std::size_t>(pszReturn - pszStart) : iLength);
}
