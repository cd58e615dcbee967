#include "orvo/unicode.h"

#include <algorithm>
#include <array>

namespace unicode
{

namespace
{

bool is_continuation(unsigned char uch)
{
   return (uch & 0xC0) == 0x80;
}

// The zeros of the decimal digit runs of the Basic Multilingual Plane; each run holds ten digits.
constexpr std::array<char32_t, 37> g_digitzeros = {
   0x0030, 0x0660, 0x06F0, 0x07C0, 0x0966, 0x09E6, 0x0A66, 0x0AE6, 0x0B66, 0x0BE6, 0x0C66, 0x0CE6, 0x0D66,
   0x0DE6, 0x0E50, 0x0ED0, 0x0F20, 0x1040, 0x1090, 0x17E0, 0x1810, 0x1946, 0x19D0, 0x1A80, 0x1A90, 0x1B50,
   0x1BB0, 0x1C40, 0x1C50, 0xA620, 0xA8D0, 0xA900, 0xA9D0, 0xA9F0, 0xAA50, 0xABF0, 0xFF10,
};

} // namespace

decoded_character decode_utf8_at(scoped_string_base strText, std::size_t iOffset)
{
   const decoded_character invalid{replacement_character, 1};
   const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(strText[iOffset + k]); };
   const unsigned char uchLead = byte(0);
   if (uchLead < 0x80)
   {
      return {uchLead, 1};
   }
   std::size_t iLength;
   char32_t wch;
   char32_t wchMinimum;
   if ((uchLead & 0xE0) == 0xC0)
   {
      iLength = 2;
      wch = uchLead & 0x1F;
      wchMinimum = 0x80;
   }
   else if ((uchLead & 0xF0) == 0xE0)
   {
      iLength = 3;
      wch = uchLead & 0x0F;
      wchMinimum = 0x800;
   }
   else if ((uchLead & 0xF8) == 0xF0)
   {
      iLength = 4;
      wch = uchLead & 0x07;
      wchMinimum = 0x10000;
   }
   else
   {
      return invalid;
   }
   if (iOffset + iLength > strText.size())
   {
      return invalid;
   }
   for (std::size_t k = 1; k < iLength; k++)
   {
      if (!is_continuation(byte(k)))
      {
         return invalid;
      }
      wch = (wch << 6) | (byte(k) & 0x3F);
   }
   if (wch < wchMinimum || wch > 0x10FFFF || (wch >= 0xD800 && wch <= 0xDFFF))
   {
      return invalid;
   }
   return {wch, iLength};
}

std::u32string decode_utf8(scoped_string_base strText)
{
   std::u32string wstrText;
   for (std::size_t i = 0; i < strText.size();)
   {
      const decoded_character character = decode_utf8_at(strText, i);
      wstrText += character.m_wch;
      i += character.m_iLength;
   }
   return wstrText;
}

string_base encode_utf8(std::u32string_view wstrText)
{
   string_base strText;
   for (char32_t wch : wstrText)
   {
      if (wch > 0x10FFFF || (wch >= 0xD800 && wch <= 0xDFFF))
      {
         wch = replacement_character;
      }
      if (wch < 0x80)
      {
         strText += static_cast<char>(wch);
      }
      else if (wch < 0x800)
      {
         strText += static_cast<char>(0xC0 | (wch >> 6));
         strText += static_cast<char>(0x80 | (wch & 0x3F));
      }
      else if (wch < 0x10000)
      {
         strText += static_cast<char>(0xE0 | (wch >> 12));
         strText += static_cast<char>(0x80 | ((wch >> 6) & 0x3F));
         strText += static_cast<char>(0x80 | (wch & 0x3F));
      }
      else
      {
         strText += static_cast<char>(0xF0 | (wch >> 18));
         strText += static_cast<char>(0x80 | ((wch >> 12) & 0x3F));
         strText += static_cast<char>(0x80 | ((wch >> 6) & 0x3F));
         strText += static_cast<char>(0x80 | (wch & 0x3F));
      }
   }
   return strText;
}

bool is_decimal_digit(char32_t wch)
{
   // The last run whose zero is not above the character decides.
   const auto it = std::upper_bound(g_digitzeros.begin(), g_digitzeros.end(), wch);
   return it != g_digitzeros.begin() && wch - *(it - 1) < 10;
}

} // namespace unicode
