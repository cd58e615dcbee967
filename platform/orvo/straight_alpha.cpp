#include "orvo/straight_alpha.h"

namespace image
{

namespace
{

constexpr std::array<std::array<std::uint8_t, 256>, 256> make_straight_table()
{
   std::array<std::array<std::uint8_t, 256>, 256> table{};
   for (unsigned a = 1; a < 256; ++a)
   {
      for (unsigned c = 0; c < 256; ++c)
      {
         const unsigned straight = (c * 255 + a / 2) / a;
         table[a][c] = static_cast<std::uint8_t>(straight > 255 ? 255 : straight);
      }
   }
   return table;
}

} // namespace

// Computed by the compiler: the table lies in read-only data, ready before any code runs.
alignas(64) constinit const std::array<std::array<std::uint8_t, 256>, 256> g_straight_channel = make_straight_table();

} // namespace image
