#pragma once

#include "command_output.h"
#include "orvo/string.h"

// What an independent reader ("psd-tools", "pillow" or "magick") sees in a layered document, in
// the text form that tests/module/read_psd.py prints.
inline string_base read_psd_with(const char * pszReader, const char * pszPath)
{
   return output_of(format("/usr/bin/python3 %s/tests/module/read_psd.py %s '%s' 2>&1", BRISVANE_SOURCE_DIR, pszReader, pszPath));
}
