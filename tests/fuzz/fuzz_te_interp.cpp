// Evaluates any bytes as an arithmetic expression: the result is a finite number or NaN, and a
// fault position is given exactly when the result is NaN.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "orvo/tinyexpr.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t * pdata, std::size_t size)
{
   int iError = -1;
   const double dValue = tinyexpr::te_interp(scoped_string_base(reinterpret_cast<const char *>(pdata), size), &iError);
   if (std::isnan(dValue) != (iError > 0) || std::isinf(dValue))
   {
      __builtin_trap();
   }
   return 0;
}
