#include <cstddef>
#include <cstdint>
#include <iostream>

#include "document/boxes_layer.h"
#include "orvo/trace.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

string_base read_and_write(scoped_string_base strText)
{
   auto player = make_pointer<boxes_layer>();
   player->apply_defaults();
   player->apply_layer_info(strText);
   return player->get_layer_info();
}

} // namespace

// Reads any bytes as a screen layer's text. What the layer writes must read back to the same
// layer: each reading reverses the order of the excluded boxes, so the text written after two
// readings is the text written after the first.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t * pdata, std::size_t size)
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
