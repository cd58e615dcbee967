#include "document/snake_description.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "document/datagram.h"
#include "document/display_box.h"
#include "document/snake.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

// A key of a custom path text: optional blanks, an optional sign and the leading digits; no
// digits give 0, a number beyond the 32-bit range gives the nearest bound. Whether the key was
// taken as written: a number within that range, with nothing after it but blanks.
std::pair<int, bool> read_path_key(scoped_string_base str)
{
   constexpr const char * pszBlanks = " \t";
   std::size_t i = str.find_first_not_of(pszBlanks);
   if (i == scoped_string_base::npos)
   {
      return {0, false};
   }
   bool bNegative = false;
   if (str[i] == '-' || str[i] == '+')
   {
      bNegative = str[i] == '-';
      ++i;
   }
   const std::size_t iDigits = i;
   long long value = 0;
   for (; i < str.size() && str[i] >= '0' && str[i] <= '9'; ++i)
   {
      value = std::min(value * 10 + (str[i] - '0'), static_cast<long long>(INT_MAX) + 1);
   }
   value = bNegative ? -value : value;
   const int iKey = static_cast<int>(std::clamp(value, static_cast<long long>(INT_MIN), static_cast<long long>(INT_MAX)));
   const bool bWhole = i > iDigits && iKey == value && str.find_first_not_of(pszBlanks, i) == scoped_string_base::npos;
   return {iKey, bWhole};
}

template <typename CALLBACK>
void for_each_piece(scoped_string_base str, char chSeparator, CALLBACK callback)
{
   std::size_t iStart = 0;
   while (true)
   {
      const std::size_t iEnd = str.find(chSeparator, iStart);
      callback(str.substr(iStart, iEnd == scoped_string_base::npos ? scoped_string_base::npos : iEnd - iStart));
      if (iEnd == scoped_string_base::npos)
      {
         return;
      }
      iStart = iEnd + 1;
   }
}

int max_key_part(const std::vector<int> & path, std::uint32_t (*part)(int))
{
   int iMax = -1;
   for (int iKey : path)
   {
      iMax = std::max(iMax, static_cast<int>(part(iKey)));
   }
   return iMax;
}

int max_key_part(const std::vector<std::vector<int>> & paths, std::uint32_t (*part)(int))
{
   int iMax = -1;
   for (const auto & path : paths)
   {
      iMax = std::max(iMax, max_key_part(path, part));
   }
   return iMax;
}

// Paths without keys have no largest part and are kept.
void erase_paths_reaching(std::vector<std::vector<int>> & paths, std::uint32_t (*part)(int), int n)
{
   std::erase_if(paths, [&](const std::vector<int> & path) { return !path.empty() && max_key_part(path, part) >= n; });
}

} // namespace

namespace
{

// Visits the boxes of the outer lines by the inner lines, each counted upwards.
bool walk_boxes(const display_box & grid, const snake_description::box_callback & callback, bool bByColumns, line_range outer,
                line_range inner)
{
   for (int iOuter = outer.m_iFirst; iOuter < outer.m_iEnd; ++iOuter)
   {
      for (int iInner = inner.m_iFirst; iInner < inner.m_iEnd; ++iInner)
      {
         const auto uColumn = static_cast<std::uint32_t>(bByColumns ? iOuter : iInner);
         const auto uRow = static_cast<std::uint32_t>(bByColumns ? iInner : iOuter);
         float x1, x2, y1, y2;
         grid.column_edges(uColumn, x1, x2);
         grid.row_edges(uRow, y1, y2);
         if (callback(x1, y1, x2, y2, static_cast<std::uint16_t>(uColumn), static_cast<std::uint16_t>(uRow), -1))
         {
            return true;
         }
      }
   }
   return false;
}

// The grid of the snake's layer when it has boxes.
const display_box * walked_grid(const snake * psnake)
{
   if (psnake == nullptr || psnake->m_pdisplaybox == nullptr || !psnake->m_pdisplaybox->has_boxes())
   {
      return nullptr;
   }
   return psnake->m_pdisplaybox;
}

} // namespace

bool snake_description::for_each_box(const box_callback & callback, const snake * psnake, bool bByColumns) const
{
   const display_box * pgrid = walked_grid(psnake);
   if (pgrid == nullptr)
   {
      return false;
   }
   const line_range columns{0, pgrid->Columns};
   const line_range rows{0, pgrid->Rows};
   return walk_boxes(*pgrid, callback, bByColumns, bByColumns ? columns : rows, bByColumns ? rows : columns);
}

bool snake_description::for_each_box_met(const box_callback & callback, const snake * psnake, const edge_window & columns,
                                         const edge_window & rows) const
{
   const display_box * pgrid = walked_grid(psnake);
   if (pgrid == nullptr)
   {
      return false;
   }
   return walk_boxes(*pgrid, callback, false, pgrid->rows_met(rows), pgrid->columns_met(columns));
}

// A separator is written only after some text, so an empty first path leaves no trace.
string_base snake_description::get_custom_path_string() const
{
   string_base str;
   for (const auto & path : custom_paths)
   {
      if (!str.empty())
      {
         str += '|';
      }
      for (std::size_t i = 0; i < path.size(); ++i)
      {
         if (i > 0)
         {
            str += ',';
         }
         str += std::to_string(path[i]);
      }
   }
   return str;
}

// Every piece between "|" is a path. An empty piece is an empty path, as the writer leaves it
// after a path that was opened but holds no box yet: it is no run, so a text reads back to the
// runs it was written from. A part that holds no number is key 0.
bool snake_description::set_custom_path_string(scoped_string_base str)
{
   custom_paths.clear();
   if (str.empty())
   {
      return true;
   }
   bool bWhole = true;
   for_each_piece(str, '|', [this, &bWhole](scoped_string_base strPath) {
      std::vector<int> & path = custom_paths.emplace_back();
      if (strPath.empty())
      {
         return;
      }
      for_each_piece(strPath, ',', [&path, &bWhole](scoped_string_base strKey) {
         const auto [iKey, bKeyWhole] = read_path_key(strKey);
         path.push_back(iKey);
         bWhole = bWhole && bKeyWhole;
      });
   });
   return bWhole;
}

int snake_description::get_max_override_col() const
{
   return max_key_part(custom_paths, box_key_column);
}

int snake_description::get_max_override_row() const
{
   return max_key_part(custom_paths, box_key_row);
}

void snake_description::clear_by_max_cols(int n)
{
   erase_paths_reaching(custom_paths, box_key_column, n);
}

void snake_description::clear_by_max_rows(int n)
{
   erase_paths_reaching(custom_paths, box_key_row, n);
}

} // namespace Tarvossa_BrisvanePro
