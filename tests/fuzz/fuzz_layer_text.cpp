#include <cstddef>
#include <cstdint>

#include "document/boxes_layer.h"
#include "written_text_settles.h"

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

// Reads any bytes as a screen layer's text; what the layer writes must read back to the same layer.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t * pdata, std::size_t size)
{
   return check_written_text_settles(pdata, size, read_and_write);
}
