#include "orvo/string_array.h"

#include <algorithm>

void string_array_base::_add_lines(scoped_string_base strText)
{
   std::size_t iStart = 0;
   while (iStart < strText.size())
   {
      const std::size_t iEnd = std::min(strText.find_first_of("\r\n", iStart), strText.size());
      m_strings.emplace_back(strText.substr(iStart, iEnd - iStart));
      iStart = iEnd + 1;
      if (iEnd + 1 < strText.size() && strText[iEnd] == '\r' && strText[iEnd + 1] == '\n')
      {
         iStart++;
      }
   }
}

void string_array_base::trim()
{
   for (string_base & str : m_strings)
   {
      str = string_base(trimmed(str));
   }
}

long long string_array_base::find_first_ci(scoped_string_base str) const noexcept
{
   for (std::size_t i = 0; i < m_strings.size(); i++)
   {
      if (equals_ci(m_strings[i], str))
      {
         return static_cast<long long>(i);
      }
   }
   return -1;
}
