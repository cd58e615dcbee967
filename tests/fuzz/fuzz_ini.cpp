// Reads any bytes as INI text; whatever was read must write INI text that reads back to a set
// which writes the very same text again.
#include <cstddef>
#include <cstdint>

#include "orvo/payload.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t * pdata, std::size_t size)
{
   property_set set;
   set.parse_ini(scoped_string_base(reinterpret_cast<const char *>(pdata), size));
   const string_base strIni = set.get_ini();
   property_set again;
   if (!again.parse_ini(strIni) || again.get_ini() != strIni)
   {
      __builtin_trap();
   }
   set.as_string(":", "\n");
   set.get_network_payload(true);
   return 0;
}
