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

// Letter case. Only the ASCII letters change case; every other byte, UTF-8 sequences included,
// is kept as it is.
string_base upper_case(scoped_string_base str);
string_base lower_case(scoped_string_base str);

// Comparison without regard to ASCII letter case: below 0, 0 or above 0 as `a` sorts before,
// with or after `b`.
int compare_ci(scoped_string_base a, scoped_string_base b);
bool equals_ci(scoped_string_base a, scoped_string_base b);
bool begins_ci(scoped_string_base str, scoped_string_base strPrefix);
bool ends_ci(scoped_string_base str, scoped_string_base strSuffix);

// The text without the white space (blank, tab, line feed, carriage return, vertical tab, form
// feed) at its start and end.
scoped_string_base trimmed(scoped_string_base str);
