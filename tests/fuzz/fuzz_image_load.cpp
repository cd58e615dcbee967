// Loading a picture from memory: any bytes give a picture or a failure with a reason, never a crash;
// and a picture that loads has the size its header declares.
#include <cstddef>
#include <cstdint>

#include "orvo/image_service.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t * pdata, std::size_t size)
{
   const outcome<pointer<image::image>> result = image::load_image_from_memory(pdata, size);
   if (result && !result.value()->_is_ok())
   {
      __builtin_trap();
   }
   const std::optional<size_type<int>> osizeDeclared = image::declared_size_of_memory(pdata, size);
   if (result && osizeDeclared != size_type<int>{result.value()->width(), result.value()->height()})
   {
      __builtin_trap();
   }
   return 0;
}
