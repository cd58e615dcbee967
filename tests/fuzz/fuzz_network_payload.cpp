// Reads any bytes as a network payload; what reads without fault must write back and read again
// to the same value.
#include <cstddef>
#include <cstdint>

#include "orvo/payload.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t * pdata, std::size_t size)
{
   payload value;
   if (!value.parse_network_payload(scoped_string_base(reinterpret_cast<const char *>(pdata), size)))
   {
      return 0;
   }
   for (const bool bMultiline : {false, true})
   {
      payload again;
      if (!again.parse_network_payload(value.get_network_payload(bMultiline)) || !(again == value))
      {
         __builtin_trap();
      }
   }
   value.as_string();
   return 0;
}
