#pragma once

#include "orvo/payload.h"

// The network-payload text form (JSON) of payloads and property sets. JSON arrays have no
// payload kind: they read as empty values. Nesting deeper than `max_depth` sets is a fault, so
// that no text can exhaust the stack.
class network_payload
{
public:
   static constexpr int max_depth = 64;

   static string_base write(const payload & value, bool bMultiline);
   static outcome<> read(scoped_string_base strText, payload & value);
};
