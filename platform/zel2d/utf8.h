#pragma once

#include <string>

#include "orvo/string.h"

namespace zel2d
{

// Whether `text` is well-formed UTF-8 (no overlong forms, surrogates or values above U+10FFFF).
bool is_valid_utf8(scoped_string_base text);

// `text` with every byte that does not begin a well-formed sequence replaced by U+FFFD.
std::string repaired_utf8(scoped_string_base text);

// The code point that begins at `i` in well-formed UTF-8 text; moves `i` past it.
char32_t next_code_point(scoped_string_base text, std::size_t & i);

} // namespace zel2d
