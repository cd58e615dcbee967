#include "orvo/string_array.h"

void string_array_base::_add_lines(scoped_string_base strText)
{
   for_each_line(strText, [this](scoped_string_base strLine) { m_strings.emplace_back(strLine); });
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
