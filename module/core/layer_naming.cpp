#include "core/layer_naming.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <string>

#include "orvo/unicode.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

// The C library's atoi (leading blanks and a sign accepted, anything else 0), held within the
// range of int where atoi's result would be undefined.
int leading_number(const char * psz)
{
   const long long ll = std::strtoll(psz, nullptr, 10);
   return static_cast<int>(std::clamp<long long>(ll, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

} // namespace

string_base _001GetNewName(const char * pszPrefix, int n, const string_array_base & names)
{
   const int iLast = n < 1000 ? 999 : n;
   string_base strCandidate;
   // Counted in 64 bits so that n + 1 cannot overflow.
   for (long long i = static_cast<long long>(n) + 1; i <= iLast; ++i)
   {
      strCandidate = format("%s%lld", pszPrefix, i);
      if (!names.contains_ci(strCandidate))
      {
         return strCandidate;
      }
   }
   return strCandidate;
}

string_base _001IncrementName(const char * pszName, const char * pszFallback, const string_array_base & names)
{
   const std::u32string wstrName = unicode::decode_utf8(pszName);
   if (wstrName.empty())
   {
      return _001GetNewName(pszFallback, 0, names);
   }
   std::size_t iDigits = 0;
   while (iDigits < wstrName.size() && unicode::is_decimal_digit(wstrName[wstrName.size() - 1 - iDigits]))
   {
      ++iDigits;
   }
   if (iDigits == 0)
   {
      return _001GetNewName(pszName, 0, names);
   }
   if (iDigits + 1 >= wstrName.size())
   {
      return _001GetNewName(pszFallback, leading_number(pszName), names);
   }
   const std::u32string_view wstrView(wstrName);
   const string_base strPrefix = unicode::encode_utf8(wstrView.substr(0, wstrName.size() - iDigits));
   const string_base strDigits = unicode::encode_utf8(wstrView.substr(wstrName.size() - iDigits));
   return _001GetNewName(strPrefix.c_str(), leading_number(strDigits.c_str()), names);
}

string_base quoted_layer_names(const string_array_base & names)
{
   constexpr long long names_told = 5;
   string_base strNames;
   for (long long i = 0; i < std::min(names.count(), names_told); ++i)
   {
      strNames += (i == 0 ? "\"" : ", \"") + names[i] + "\"";
   }
   if (names.count() > names_told)
   {
      strNames += format(" and %lld more", names.count() - names_told);
   }
   return strNames;
}

} // namespace Tarvossa_BrisvanePro
