#include "document/parameter_text.h"

#include <algorithm>
#include <charconv>
#include <cctype>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <limits>

#include "orvo/memory_base.h"

namespace Tarvossa_BrisvanePro::parameter_text
{

namespace
{

bool is_digit(char ch) noexcept
{
   return ch >= '0' && ch <= '9';
}

bool is_blank_text(const char * psz) noexcept
{
   return std::all_of(psz, psz + std::strlen(psz), [](char ch) { return std::isspace(static_cast<unsigned char>(ch)) != 0; });
}

// The "C" locale, whatever the process's own: a decimal point is always ".".
locale_t c_locale()
{
   static const locale_t s_locale = ::newlocale(LC_ALL_MASK, "C", nullptr);
   return s_locale;
}

std::optional<bool> switch_word(scoped_string_base strValue)
{
   for (const char * pszWord : {"FALSE", "OFF", "NO"})
   {
      if (equals_ci(strValue, pszWord))
      {
         return false;
      }
   }
   for (const char * pszWord : {"TRUE", "ON", "YES"})
   {
      if (equals_ci(strValue, pszWord))
      {
         return true;
      }
   }
   return std::nullopt;
}

// An optional "-" and at most `iMaxDigits` digits; stops at the first other character, which
// makes the reading not clean unless the digit limit was reached first.
number_reading read_signed_digits(scoped_string_base strValue, std::size_t iMaxDigits)
{
   number_reading reading;
   std::size_t i = 0;
   const bool bNegative = !strValue.empty() && strValue[0] == '-';
   i += bNegative ? 1 : 0;
   std::size_t iDigits = 0;
   for (; i < strValue.size() && iDigits < iMaxDigits && is_digit(strValue[i]); ++i, ++iDigits)
   {
      // Past the 32-bit range the exact value no longer matters: it only has to stay beyond it.
      reading.m_iValue = std::min(reading.m_iValue * 10 + (strValue[i] - '0'), static_cast<long long>(UINT_MAX) + 1);
   }
   if (i < strValue.size() && iDigits < iMaxDigits)
   {
      reading.m_pszError = reason_bad_number;
   }
   reading.m_iValue = bNegative ? -reading.m_iValue : reading.m_iValue;
   return reading;
}

} // namespace

number_reading read_int(scoped_string_base strValue)
{
   if (const auto obWord = switch_word(strValue))
   {
      return {*obWord ? 1 : 0, nullptr};
   }
   return read_signed_digits(strValue, 10);
}

int read_leading_int(scoped_string_base strValue)
{
   const long long value = std::strtoll(string_base(strValue).c_str(), nullptr, 10);
   return static_cast<int>(std::clamp(value, static_cast<long long>(INT_MIN), static_cast<long long>(INT_MAX)));
}

number_reading read_font_size(scoped_string_base strValue)
{
   number_reading reading = read_signed_digits(strValue, SIZE_MAX);
   if (reading.m_pszError == nullptr && (reading.m_iValue < INT_MIN || reading.m_iValue > INT_MAX))
   {
      reading.m_pszError = reason_out_of_range;
   }
   return reading;
}

float read_float(scoped_string_base strValue)
{
   const double d = ::strtod_l(string_base(strValue).c_str(), nullptr, c_locale());
   if (std::isnan(d))
   {
      return 0.0f;
   }
   constexpr double dLargest = std::numeric_limits<float>::max();
   return static_cast<float>(std::clamp(d, -dLargest, dLargest));
}

bool reads_whole_as_int(scoped_string_base strValue)
{
   const string_base str(strValue);
   char * pszEnd = nullptr;
   const long long value = std::strtoll(str.c_str(), &pszEnd, 10);
   return is_blank_text(str.c_str()) || (pszEnd != str.c_str() && is_blank_text(pszEnd) && value >= INT_MIN && value <= INT_MAX);
}

bool reads_whole_as_float(scoped_string_base strValue)
{
   const string_base str(strValue);
   char * pszEnd = nullptr;
   ::strtod_l(str.c_str(), &pszEnd, c_locale());
   return is_blank_text(str.c_str()) || (pszEnd != str.c_str() && is_blank_text(pszEnd));
}

std::optional<std::bitset<4>> read_bits(scoped_string_base strValue)
{
   if (strValue.find_first_not_of("01") != scoped_string_base::npos)
   {
      return std::nullopt;
   }
   const scoped_string_base strBits = strValue.substr(0, 4);
   std::bitset<4> bits;
   for (std::size_t i = 0; i < strBits.size(); ++i)
   {
      bits[strBits.size() - 1 - i] = strBits[i] == '1';
   }
   return bits;
}

std::optional<color::color> read_hex_color(scoped_string_base strValue)
{
   memory_base bytes;
   if (strValue.size() != 6 || !bytes.from_hex(strValue))
   {
      return std::nullopt;
   }
   return color::color(bytes.data()[0], bytes.data()[1], bytes.data()[2], 255);
}

names_reading read_name_list(scoped_string_base strValue)
{
   names_reading reading;
   std::size_t i = 0;
   while (true)
   {
      i = strValue.find_first_not_of(" \t", i);
      if (i == scoped_string_base::npos)
      {
         return reading;
      }
      if (strValue[i] != '"' && strValue[i] != '\'')
      {
         reading.m_bWhole = false;
         return reading;
      }
      const char chQuote = strValue[i++];
      string_base strName;
      bool bClosed = false;
      for (; i < strValue.size(); ++i)
      {
         if (strValue[i] == chQuote)
         {
            bClosed = true;
            ++i;
            break;
         }
         // An escaped character never closes the name; only the escapes of a backslash and of a
         // double quote lose their backslash.
         if (strValue[i] == '\\' && i + 1 < strValue.size())
         {
            const char chEscaped = strValue[++i];
            if (chEscaped != '\\' && chEscaped != '"')
            {
               strName += '\\';
            }
            strName += chEscaped;
            continue;
         }
         strName += strValue[i];
      }
      if (!bClosed)
      {
         reading.m_bWhole = false;
         return reading;
      }
      reading.m_names.push_back(std::move(strName));
   }
}

string_base write_float(float f)
{
   char sz[64];
   const auto [pszEnd, ec] = std::to_chars(sz, sz + sizeof(sz), static_cast<double>(f), std::chars_format::fixed, 6);
   return ec == std::errc() ? string_base(sz, pszEnd) : string_base("0.000000");
}

string_base write_color(color::color color)
{
   return write_float(color.m_uchR / 255.f) + " " + write_float(color.m_uchG / 255.f) + " " +
          write_float(color.m_uchB / 255.f) + " " + write_float(color.m_uchA / 255.f);
}

string_base write_color_list(const std::vector<color::color> & colors)
{
   string_base str;
   for (const auto & color : colors)
   {
      str += str.empty() ? "" : "|";
      str += write_color(color);
   }
   return str;
}

string_base write_bits(const std::bitset<4> & bits)
{
   return bits.to_string();
}

string_base write_name_list(const std::vector<string_base> & names)
{
   string_base str;
   for (std::size_t i = 0; i < names.size(); ++i)
   {
      str += i > 0 ? " \"" : "\"";
      for (char ch : names[i])
      {
         if (ch == '\\' || ch == '"')
         {
            str += '\\';
         }
         str += ch;
      }
      str += '"';
   }
   return str;
}

void report_parse_error(scoped_string_base strReason, scoped_string_base strKey, scoped_string_base strValue)
{
   std::cerr << "Parse error: " << strReason << "\n" << strKey << " : " << strValue << std::endl;
}

string_base named_value(scoped_string_base strKey, scoped_string_base strValue)
{
   // Enough for any number or colour; a custom path or a picture may run to megabytes.
   constexpr std::size_t iShown = 60;
   string_base strShown(strValue);
   if (strShown.size() > iShown)
   {
      // Cut before a character, not inside one of several bytes.
      std::size_t iCut = iShown;
      while (iCut > 0 && (static_cast<unsigned char>(strShown[iCut]) & 0xC0) == 0x80)
      {
         --iCut;
      }
      strShown = strShown.substr(0, iCut) + "...";
   }
   return string_base(strKey) + " \"" + strShown + "\"";
}

int read_leading_int(scoped_string_base strKey, scoped_string_base strValue, string_array_base & straNotRead)
{
   if (!reads_whole_as_int(strValue))
   {
      straNotRead.add(named_value(strKey, strValue));
   }
   return read_leading_int(strValue);
}

} // namespace Tarvossa_BrisvanePro::parameter_text
