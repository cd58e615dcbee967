// The faster reader of the PNG files the program writes: for any bytes it reads, libpng reads the
// same picture, pixel for pixel; it never crashes.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "orvo/png_codec.h"
#include "orvo/png_written_here.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t * pdata, std::size_t size)
{
   const std::optional<pointer<image::image>> ofast = image::png_codec::decode_written_here(pdata, size);
   if (!ofast)
   {
      return 0;
   }
   const outcome<pointer<image::image>> slow = image::png_codec::decode_with_libpng(pdata, size);
   if (!slow)
   {
      __builtin_trap();
   }
   const image::image & a = **ofast;
   const image::image & b = *slow.value();
   if (a.width() != b.width() || a.height() != b.height() ||
       !std::equal(a.data(), a.data() + static_cast<std::size_t>(a.width()) * static_cast<std::size_t>(a.height()), b.data()))
   {
      __builtin_trap();
   }
   return 0;
}
