#pragma once

#include "orvo/string.h"

namespace tinyexpr
{

// The value of an arithmetic expression ("1920/2", "2*250", "(100+20)*3", "2^10", "sqrt(16)").
// Any fault gives NaN: text that does not parse, an unknown name, a result that is not finite
// (a division by zero), or more than one result. When `piError` is given it receives 0 on success
// and otherwise the position (from 1) where the fault was found, or 1 when no position is known.
double te_interp(scoped_string_base strExpression, int * piError);

} // namespace tinyexpr
