#pragma once

#include <string>
#include <string_view>

// Strings are UTF-8 bytes. `string_base` owns its text; `scoped_string_base` is a view of text
// owned elsewhere, for parameters (it is not null-terminated: copy it into a `string_base` before
// handing it to a C interface).
using string_base = std::string;
using scoped_string_base = std::string_view;

// printf-style formatting into a new string.
string_base format(const char * pszFormat, ...) __attribute__((format(printf, 1, 2)));

// Letter case. Only the ASCII letters change case; every other byte, UTF-8 sequences included,
// is kept as it is.
string_base upper_case(scoped_string_base str);
string_base lower_case(scoped_string_base str);

// Comparison without regard to ASCII letter case: below 0, 0 or above 0 as `a` sorts before,
// with or after `b`.
int compare_ci(scoped_string_base a, scoped_string_base b);
bool equals_ci(scoped_string_base a, scoped_string_base b);
bool begins_ci(scoped_string_base str, scoped_string_base strPrefix);
bool ends_ci(scoped_string_base str, scoped_string_base strSuffix);

// The text without the white space (blank, tab, line feed, carriage return, vertical tab, form
// feed) at its start and end.
scoped_string_base trimmed(scoped_string_base str);

// Where the line that starts at `iStart` ends: at its first line feed or carriage return, or at
// the end of the text.
std::size_t find_line_end(scoped_string_base strText, std::size_t iStart) noexcept;

// Hands each line of the text to `on_line`, as a view of the text, without its end. A line ends
// at a line feed, a carriage return, or a carriage return followed by a line feed; a text that
// ends with a line end has no empty last line.
template <typename Handler>
void for_each_line(scoped_string_base strText, Handler && on_line)
{
   std::size_t iStart = 0;
   while (iStart < strText.size())
   {
      const std::size_t iEnd = find_line_end(strText, iStart);
      on_line(strText.substr(iStart, iEnd - iStart));
      iStart = iEnd + 1;
      if (iEnd + 1 < strText.size() && strText[iEnd] == '\r' && strText[iEnd + 1] == '\n')
      {
         iStart++;
      }
   }
}
