#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "orvo/string.h"

namespace unicode
{

inline constexpr char32_t replacement_character = 0xFFFD;

// One character decoded from UTF-8 and the bytes it took.
struct decoded_character
{
   char32_t m_wch = 0;
   std::size_t m_iLength = 0;
};

// Decodes the character that starts at `iOffset` (below the text's size). A byte that begins no
// well-formed sequence (overlong forms, surrogates and values above U+10FFFF are not
// well-formed) decodes as U+FFFD of one byte, so decoding always moves on.
decoded_character decode_utf8_at(scoped_string_base strText, std::size_t iOffset);

std::u32string decode_utf8(scoped_string_base strText);
string_base encode_utf8(std::u32string_view wstrText);

// Whether the character is a decimal digit (Unicode category Nd) of the Basic Multilingual
// Plane; characters above U+FFFF are never digits here.
bool is_decimal_digit(char32_t wch);

} // namespace unicode
