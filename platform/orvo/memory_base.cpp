#include "orvo/memory_base.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "orvo/huge_pages.h"

namespace
{

// A byte's two digits, the high one first in memory.
constexpr std::array<std::uint16_t, 256> make_digit_pairs()
{
   constexpr char digits[] = "0123456789abcdef";
   std::array<std::uint16_t, 256> pairs{};
   for (std::size_t i = 0; i < pairs.size(); ++i)
   {
      const auto uchHigh = static_cast<std::uint8_t>(digits[i >> 4]);
      const auto uchLow = static_cast<std::uint8_t>(digits[i & 0x0F]);
      pairs[i] = std::endian::native == std::endian::little ? static_cast<std::uint16_t>(uchHigh | uchLow << 8)
                                                            : static_cast<std::uint16_t>(uchHigh << 8 | uchLow);
   }
   return pairs;
}

constexpr std::array<std::uint16_t, 256> digit_pairs = make_digit_pairs();

// A character's digit value, or `not_a_digit`: a bit no digit has, so that one test over a
// whole stretch of characters finds any that is not a digit.
constexpr std::uint8_t not_a_digit = 0x80;

constexpr std::array<std::uint8_t, 256> make_digit_values()
{
   std::array<std::uint8_t, 256> values{};
   for (std::size_t i = 0; i < values.size(); ++i)
   {
      const auto ch = static_cast<char>(i);
      values[i] = ch >= '0' && ch <= '9'   ? static_cast<std::uint8_t>(ch - '0')
                  : ch >= 'a' && ch <= 'f' ? static_cast<std::uint8_t>(ch - 'a' + 10)
                  : ch >= 'A' && ch <= 'F' ? static_cast<std::uint8_t>(ch - 'A' + 10)
                                           : not_a_digit;
   }
   return values;
}

constexpr std::array<std::uint8_t, 256> digit_values = make_digit_values();

// Text is made and read in stretches this long, which stay in the first-level cache.
constexpr std::size_t bytes_per_stretch = 2048;

} // namespace

int value_of_hex_digit(char ch)
{
   const std::uint8_t uchValue = digit_values[static_cast<std::uint8_t>(ch)];
   return uchValue == not_a_digit ? -1 : uchValue;
}

string_base hex_text(const void * pdata, std::size_t size)
{
   // The text is sized once and never cleared: each stretch of digits is made in a buffer that
   // stays in the cache, then appended.
   const auto * pbytes = static_cast<const std::uint8_t *>(pdata);
   string_base strHex;
   strHex.reserve(size * 2);
   advise_huge_pages(strHex.data(), strHex.capacity());
   std::uint16_t pairs[bytes_per_stretch];
   for (std::size_t iStart = 0; iStart < size; iStart += bytes_per_stretch)
   {
      const std::size_t iCount = std::min(bytes_per_stretch, size - iStart);
      for (std::size_t i = 0; i < iCount; ++i)
      {
         pairs[i] = digit_pairs[pbytes[iStart + i]];
      }
      strHex.append(reinterpret_cast<const char *>(pairs), iCount * 2);
   }
   return strHex;
}

void memory_base::assign(const void * pdata, std::size_t size)
{
   m_bytes.resize(size);
   if (size > 0)
   {
      std::memcpy(m_bytes.data(), pdata, size);
   }
}

bool memory_base::from_hex(scoped_string_base strHex)
{
   m_bytes.clear();
   if (strHex.size() % 2 != 0)
   {
      return false;
   }
   const std::size_t size = strHex.size() / 2;
   m_bytes.resize(size);
   const auto * pdigits = reinterpret_cast<const std::uint8_t *>(strHex.data());
   std::uint8_t * pbytes = m_bytes.data();
   // Each stretch is decoded whole, and checked once: the values of the digits, or-ed together,
   // hold `not_a_digit` when any character was none.
   for (std::size_t iStart = 0; iStart < size; iStart += bytes_per_stretch)
   {
      const std::size_t iEnd = std::min(size, iStart + bytes_per_stretch);
      std::uint8_t uchFaults = 0;
      for (std::size_t i = iStart; i < iEnd; ++i)
      {
         const std::uint8_t uchHigh = digit_values[pdigits[2 * i]];
         const std::uint8_t uchLow = digit_values[pdigits[2 * i + 1]];
         uchFaults |= uchHigh | uchLow;
         pbytes[i] = static_cast<std::uint8_t>(uchHigh << 4 | uchLow);
      }
      if ((uchFaults & not_a_digit) != 0)
      {
         m_bytes.clear();
         return false;
      }
   }
   return true;
}
