#pragma once

#include "orvo/string.h"
#include "orvo/string_array.h"

namespace Tarvossa_BrisvanePro
{

// The first of PREFIX(n + 1), PREFIX(n + 2), ... up to PREFIX999 (or PREFIXn for n of 1000 and
// more) that is not in `names` (letter case ignored); the last one tried when all are taken, and
// an empty text when no number is left to try.
string_base _001GetNewName(const char * pszPrefix, int n, const string_array_base & names);

// A fresh name for a copy of `pszName`: its trailing decimal digits (any Unicode decimal digits
// of the Basic Multilingual Plane) are counted on from, "Screen7" giving "Screen8". A name without
// a prefix before its number takes the fallback word as prefix.
string_base _001IncrementName(const char * pszName, const char * pszFallback, const string_array_base & names);

// "\"A\", \"B\" and 3 more": layers named in a message, at most five of them.
string_base quoted_layer_names(const string_array_base & names);

} // namespace Tarvossa_BrisvanePro
