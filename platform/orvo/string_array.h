#pragma once

#include <initializer_list>
#include <vector>

#include "orvo/string.h"

// An ordered array of strings, with the line splitting and the letter-case-blind search that
// text readers and name lists need. Indices are `long long`, as in `pointer_array`; element
// access out of range throws `std::out_of_range`.
class string_array_base
{
public:
   using const_iterator = std::vector<string_base>::const_iterator;
   using iterator = std::vector<string_base>::iterator;

   string_array_base() = default;
   string_array_base(std::initializer_list<string_base> strings) : m_strings(strings) {}

   long long count() const noexcept { return static_cast<long long>(m_strings.size()); }
   bool is_empty() const noexcept { return m_strings.empty(); }

   string_base & element_at(long long index) { return m_strings.at(checked(index)); }
   const string_base & element_at(long long index) const { return m_strings.at(checked(index)); }
   string_base & operator[](long long index) { return element_at(index); }
   const string_base & operator[](long long index) const { return element_at(index); }

   void add(scoped_string_base str) { m_strings.emplace_back(str); }

   // Adds the lines of `strText`. A line ends at a line feed, a carriage return, or a carriage
   // return followed by a line feed; empty lines between line ends are kept, and a final line
   // end does not start another line.
   void _add_lines(scoped_string_base strText);

   // Removes the white space at both ends of every string.
   void trim();

   // The index of the first string equal to `str` without regard to letter case, or -1.
   long long find_first_ci(scoped_string_base str) const noexcept;
   bool contains_ci(scoped_string_base str) const noexcept { return find_first_ci(str) >= 0; }

   void clear() noexcept { m_strings.clear(); }

   bool operator==(const string_array_base &) const = default;

   iterator begin() noexcept { return m_strings.begin(); }
   iterator end() noexcept { return m_strings.end(); }
   const_iterator begin() const noexcept { return m_strings.begin(); }
   const_iterator end() const noexcept { return m_strings.end(); }

private:
   static std::size_t checked(long long index)
   {
      return index < 0 ? static_cast<std::size_t>(-1) : static_cast<std::size_t>(index);
   }

   std::vector<string_base> m_strings;
};
