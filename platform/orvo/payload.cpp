#include "orvo/payload.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "orvo/network_payload.h"

namespace
{

// The text as one whole number of type T, white space around it allowed.
template <typename T>
bool read_whole(scoped_string_base str, T & value)
{
   str = trimmed(str);
   const char * pszEnd = str.data() + str.size();
   const auto [pszStop, error] = std::from_chars(str.data(), pszEnd, value);
   return !str.empty() && error == std::errc() && pszStop == pszEnd;
}

long long truncated(double d)
{
   if (std::isnan(d))
   {
      return 0;
   }
   // 2^63 is the first double past the integer range.
   if (d >= 9223372036854775808.0)
   {
      return std::numeric_limits<long long>::max();
   }
   if (d <= -9223372036854775808.0)
   {
      return std::numeric_limits<long long>::min();
   }
   return static_cast<long long>(d);
}

struct as_int_of
{
   long long operator()(std::monostate) const { return 0; }
   long long operator()(bool b) const { return b ? 1 : 0; }
   long long operator()(long long i) const { return i; }
   long long operator()(double d) const { return truncated(d); }
   long long operator()(const property_set &) const { return 0; }
   long long operator()(const string_base & str) const
   {
      long long i = 0;
      if (read_whole(str, i))
      {
         return i;
      }
      double d = 0.0;
      return read_whole(str, d) ? truncated(d) : 0;
   }
};

struct as_double_of
{
   double operator()(std::monostate) const { return 0.0; }
   double operator()(bool b) const { return b ? 1.0 : 0.0; }
   double operator()(long long i) const { return static_cast<double>(i); }
   double operator()(double d) const { return d; }
   double operator()(const property_set &) const { return 0.0; }
   double operator()(const string_base & str) const
   {
      double d = 0.0;
      return read_whole(str, d) ? d : 0.0;
   }
};

struct as_bool_of
{
   bool operator()(std::monostate) const { return false; }
   bool operator()(bool b) const { return b; }
   bool operator()(long long i) const { return i != 0; }
   bool operator()(double d) const { return d != 0.0 && !std::isnan(d); }
   bool operator()(const property_set &) const { return false; }
   bool operator()(const string_base & str) const
   {
      const scoped_string_base strWord = trimmed(str);
      if (equals_ci(strWord, "true") || equals_ci(strWord, "yes") || equals_ci(strWord, "on"))
      {
         return true;
      }
      return (*this)(as_double_of()(str));
   }
};

struct as_string_of
{
   string_base operator()(std::monostate) const { return {}; }
   // Bools read back through the integer rule of the layer texts, so they are written as digits.
   string_base operator()(bool b) const { return b ? "1" : "0"; }
   string_base operator()(long long i) const { return std::to_string(i); }
   string_base operator()(const string_base & str) const { return str; }
   string_base operator()(const property_set & set) const { return set.get_network_payload(); }
   string_base operator()(double d) const
   {
      char sz[32];
      const auto [pszEnd, error] = std::to_chars(sz, sz + sizeof(sz), d);
      return error == std::errc() ? string_base(sz, pszEnd) : string_base();
   }
};

} // namespace

long long payload::as_int() const noexcept
{
   return visit(as_int_of());
}

double payload::as_double() const noexcept
{
   return visit(as_double_of());
}

bool payload::as_bool() const noexcept
{
   return visit(as_bool_of());
}

string_base payload::as_string() const
{
   return visit(as_string_of());
}

property_set & payload::property_set_reference()
{
   if (!is_property_set())
   {
      m_value = property_set();
   }
   return std::get<property_set>(m_value);
}

string_base payload::get_network_payload(bool bMultiline) const
{
   return network_payload::write(*this, bMultiline);
}

outcome<> payload::parse_network_payload(scoped_string_base strText)
{
   return network_payload::read(strText, *this);
}
