#pragma once

#include <bitset>
#include <optional>
#include <vector>

#include "orvo/color.h"
#include "orvo/string.h"
#include "orvo/string_array.h"

// The value forms of a screen layer's key/value text: how each kind of field is written, and
// how it is read back, strictly, with the reason when a value is not clean.
namespace Tarvossa_BrisvanePro::parameter_text
{

inline constexpr const char * reason_bad_number = "_string parsing error _consume";
inline constexpr const char * reason_bad_bits = "bitset string ctor has invalid argument";
inline constexpr const char * reason_out_of_range = "value out of range";
inline constexpr const char * reason_bad_hex_color = "colour is not six hexadecimal digits";
inline constexpr const char * reason_bad_color = "not a colour";

// A number read from a value, and why the value was not clean (null when it was). A value that
// is not clean still carries the digits read before the fault.
struct number_reading
{
   long long m_iValue = 0;
   const char * m_pszError = nullptr;
};

// Switches and integers: "TRUE", "ON", "YES" are 1 and "FALSE", "OFF", "NO" are 0 in any letter
// case; otherwise an optional "-" and decimal digits, of which at most 10 are read and anything
// after them is ignored; an empty value is 0.
number_reading read_int(scoped_string_base strValue);
// C `atoi` rules, for the base keys of every layer, the image layer's keys and the raster label:
// leading blanks, an optional sign, the leading digits; no digits give 0. A number beyond the
// 32-bit range gives the nearest bound.
int read_leading_int(scoped_string_base strValue);
// Font sizes: an optional "-" and decimal digits, no words; an empty value is 0. A number beyond
// the 32-bit range is an error.
number_reading read_font_size(scoped_string_base strValue);
// `strtod` in the "C" locale: leading blanks, the longest number (hexadecimal forms such as
// "0x1p3" too), 0 when there is none; an underflow gives 0 or the nearest subnormal. Never an
// error: what single precision cannot hold becomes what it holds nearest, the largest finite value
// of the sign for an overflow or an infinity ("1e999", "-inf"), and 0 for not a number ("nan").
float read_float(scoped_string_base strValue);
// Whether `read_leading_int` or `read_float` take the value as written: a number and nothing
// more, blanks around it allowed, and for integers within the 32-bit range. A blank value reads
// as the 0 it means.
bool reads_whole_as_int(scoped_string_base strValue);
bool reads_whole_as_float(scoped_string_base strValue);
// Four bits, the last character for bit 0; only "0" and "1" are allowed. Bits no character
// reaches are clear; only the first four characters count.
std::optional<std::bitset<4>> read_bits(scoped_string_base strValue);
// Six hexadecimal digits: red, green, blue; alpha 255.
std::optional<color::color> read_hex_color(scoped_string_base strValue);
// The names read from a value, and whether they were all it held.
struct names_reading
{
   std::vector<string_base> m_names;
   bool m_bWhole = true;
};

// Names in double or single quotes, each after any blanks; a backslash escapes the next
// character. Reading stops at a piece that is not a quoted name or at a quote not closed, which
// leaves the reading not whole; blanks after the last name do not.
names_reading read_name_list(scoped_string_base strValue);

string_base write_float(float f);
// "%f %f %f %f" of red, green, blue and alpha as fractions of 255.
string_base write_color(color::color color);
string_base write_color_list(const std::vector<color::color> & colors);
string_base write_bits(const std::bitset<4> & bits);
// Each name in double quotes, a backslash before every backslash and double quote, joined by one
// blank.
string_base write_name_list(const std::vector<string_base> & names);

// Two lines on standard error: the reason, then the key and the value.
void report_parse_error(scoped_string_base strReason, scoped_string_base strKey, scoped_string_base strValue);
// `Key "value"`: how a value not taken as written is named to the user. A long value is cut
// after its first characters and ends with "...", so that a list of such values stays readable.
string_base named_value(scoped_string_base strKey, scoped_string_base strValue);
// `read_leading_int` of the value; when the value is not taken whole, its `named_value` is added
// to `straNotRead`.
int read_leading_int(scoped_string_base strKey, scoped_string_base strValue, string_array_base & straNotRead);

} // namespace Tarvossa_BrisvanePro::parameter_text
