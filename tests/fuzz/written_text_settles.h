#pragma once

#include <cstddef>
#include <cstdint>
#include <iostream>

#include "orvo/string.h"
#include "orvo/trace.h"

// The round trip the text fuzzers check, with the logs and the error stream quiet: any bytes are
// read and written again (`read_and_write`), and what is written must read back to the same
// thing. A screen layer's excluded boxes come back in reverse order at each reading, so the text
// written after two more readings must be the text written after the first; it traps otherwise.
template <typename READ_AND_WRITE>
int check_written_text_settles(const std::uint8_t * pdata, std::size_t size, READ_AND_WRITE read_and_write)
{
   set_logs_silent(true);
   std::cerr.setstate(std::ios::failbit);
   const string_base strFirst = read_and_write(scoped_string_base(reinterpret_cast<const char *>(pdata), size));
   if (read_and_write(read_and_write(strFirst)) != strFirst)
   {
      __builtin_trap();
   }
   return 0;
}
