#pragma once

#include <cstddef>

#include "orvo/outcome.h"
#include "orvo/string.h"

// The failure of a text reader's `outcome<>`: why it met a fault and where, as "line 4, byte 34:
// ..." (line from 1, byte offset from 0 of the first fault); a line of 0 means the place is
// unknown and leaves it out. Readers keep what they could read before and after a fault, and
// record only the first.
inline failure text_fault(long long iLine, std::size_t iOffset, scoped_string_base strWhy)
{
   return failure(iLine > 0 ? format("line %lld, byte %zu: %s", iLine, iOffset, string_base(strWhy).c_str()) : string_base(strWhy));
}
