#include "zel2d/utf8.h"

namespace zel2d
{

namespace
{

constexpr scoped_string_base replacement_character = "\xEF\xBF\xBD";

// The length of the well-formed sequence at `i`, or 0 when the byte there begins none.
std::size_t sequence_length(scoped_string_base text, std::size_t i)
{
   const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
   const unsigned char lead = byte(i);
   if (lead < 0x80)
   {
      return 1;
   }
   std::size_t length = 0;
   unsigned char low = 0x80;
   unsigned char high = 0xBF;
   if (lead >= 0xC2 && lead <= 0xDF)
   {
      length = 2;
   }
   else if (lead >= 0xE0 && lead <= 0xEF)
   {
      length = 3;
      low = lead == 0xE0 ? 0xA0 : 0x80; // no overlong forms
      high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
   }
   else if (lead >= 0xF0 && lead <= 0xF4)
   {
      length = 4;
      low = lead == 0xF0 ? 0x90 : 0x80;
      high = lead == 0xF4 ? 0x8F : 0xBF;
   }
   else
   {
      return 0;
   }
   if (i + length > text.size())
   {
      return 0;
   }
   if (byte(i + 1) < low || byte(i + 1) > high)
   {
      return 0;
   }
   for (std::size_t k = 2; k < length; ++k)
   {
      if (byte(i + k) < 0x80 || byte(i + k) > 0xBF)
      {
         return 0;
      }
   }
   return length;
}

} // namespace

bool is_valid_utf8(scoped_string_base text)
{
   for (std::size_t i = 0; i < text.size();)
   {
      const std::size_t length = sequence_length(text, i);
      if (length == 0)
      {
         return false;
      }
      i += length;
   }
   return true;
}

std::string repaired_utf8(scoped_string_base text)
{
   std::string repaired;
   repaired.reserve(text.size() + 8);
   for (std::size_t i = 0; i < text.size();)
   {
      const std::size_t length = sequence_length(text, i);
      if (length == 0)
      {
         repaired += replacement_character;
         ++i;
      }
      else
      {
         repaired.append(text.substr(i, length));
         i += length;
      }
   }
   return repaired;
}

char32_t next_code_point(scoped_string_base text, std::size_t & i)
{
   const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
   const unsigned char lead = byte(i);
   if (lead < 0x80)
   {
      ++i;
      return lead;
   }
   const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
   char32_t code = lead & (0x7F >> length);
   for (std::size_t k = 1; k < length; ++k)
   {
      code = (code << 6) | (byte(i + k) & 0x3F);
   }
   i += length;
   return code;
}

} // namespace zel2d
