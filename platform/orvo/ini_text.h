#pragma once

#include "orvo/payload.h"

// The INI text form of property sets (see `property_set::get_ini` and `parse_ini` for the rules).
class ini_text
{
public:
   static string_base write(const property_set & set);

   // Replaces the entries of `set` with those of the text.
   static outcome<> read(scoped_string_base strText, property_set & set);
};
