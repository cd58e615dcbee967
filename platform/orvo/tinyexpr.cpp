#include "orvo/tinyexpr.h"

#include <cmath>
#include <limits>

#include <muParser.h>

namespace tinyexpr
{

namespace
{

void report(int * piError, int iPosition)
{
   if (piError)
   {
      *piError = iPosition;
   }
}

} // namespace

double te_interp(scoped_string_base strExpression, int * piError)
{
   constexpr double not_a_number = std::numeric_limits<double>::quiet_NaN();
   // The parser reads up to a terminating zero byte: a text holding one is not an expression.
   if (strExpression.find('\0') != scoped_string_base::npos)
   {
      report(piError, static_cast<int>(strExpression.find('\0')) + 1);
      return not_a_number;
   }
   try
   {
      mu::Parser parser;
      parser.SetExpr(string_base(strExpression));
      const double dValue = parser.Eval();
      if (parser.GetNumResults() != 1 || !std::isfinite(dValue))
      {
         report(piError, 1);
         return not_a_number;
      }
      report(piError, 0);
      return dValue;
   }
   catch (const mu::Parser::exception_type & error)
   {
      const int iPosition = static_cast<int>(error.GetPos());
      report(piError, iPosition >= 0 ? iPosition + 1 : 1);
      return not_a_number;
   }
}

} // namespace tinyexpr
