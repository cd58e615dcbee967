#pragma once

#include <string>
#include <string_view>

// Strings are UTF-8 bytes. `string_base` owns its text; `scoped_string_base` is a view of text
// owned elsewhere, for parameters (it is not null-terminated: copy it into a `string_base` before
// handing it to a C interface).
using string_base = std::string;
using scoped_string_base = std::string_view;

// printf-style formatting into a new string.
string_base format(const char * pszFormat, ...) __attribute__((format(printf, 1, 2)));
