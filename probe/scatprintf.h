#pragma once

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace vestra
{

// Formats the arguments into a scratch buffer of N characters and appends the result to the
// terminated text in `dst`, a buffer of `size` bytes. The piece is cut to fit the scratch buffer
// and the room left in `dst`, so the text always stays terminated within `size` bytes.
template<int N>
__attribute__((format(printf, 3, 4))) void scatprintf(char * dst, int size, const char * fmt, ...)
{
   if (size <= 0)
   {
      return;
   }
   char szPiece[N];
   va_list args;
   va_start(args, fmt);
   const int iFormatted = std::vsnprintf(szPiece, N, fmt, args);
   va_end(args);
   if (iFormatted <= 0)
   {
      return;
   }
   const std::size_t cbUsed = ::strnlen(dst, static_cast<std::size_t>(size) - 1);
   const std::size_t cbRoom = static_cast<std::size_t>(size) - 1 - cbUsed;
   const std::size_t cbPiece = std::min(::strnlen(szPiece, N), cbRoom);
   std::memcpy(dst + cbUsed, szPiece, cbPiece);
   dst[cbUsed + cbPiece] = '\0';
}

} // namespace vestra
