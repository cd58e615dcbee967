// Loading a picture from memory: any bytes give a picture or a failure with a reason, never a crash.
#include <cstddef>
#include <cstdint>

#include "orvo/image_service.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t * pdata, std::size_t size)
{
   const image::load_result result = image::load_image_from_memory(pdata, size);
   if (result && !result.m_pimage->_is_ok())
   {
      __builtin_trap();
   }
   return 0;
}
