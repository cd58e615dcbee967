// The image layer's picture data, text to picture and back: any bytes, taken as the value of the
// "Data" key either as they are or as the hexadecimal text of a file, give a picture or none, and a
// picture written as text reads back to the same picture and the same text.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iostream>

#include "document/image_layer.h"
#include "orvo/memory_base.h"
#include "orvo/trace.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

pointer<image_layer> layer_of(scoped_string_base strData)
{
   auto player = make_pointer<image_layer>();
   player->apply_defaults();
   player->apply_parameter_by_name("Data", strData);
   return player;
}

bool same_pictures(const image::image & a, const image::image & b)
{
   return a.width() == b.width() && a.height() == b.height() &&
          std::memcmp(a.data(), b.data(), std::size_t(a.width()) * std::size_t(a.height()) * 4) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t * pdata, std::size_t size)
{
   set_logs_silent(true);
   std::cerr.setstate(std::ios::failbit);
   FuzzedDataProvider provider(pdata, size);
   const bool bFileBytes = provider.ConsumeBool();
   const string_base strBytes = provider.ConsumeRemainingBytesAsString();
   const string_base strData = bFileBytes ? memory_base(strBytes.data(), strBytes.size()).to_hex() : strBytes;

   const pointer<image_layer> pfirst = layer_of(strData);
   if (!pfirst->get_image())
   {
      return 0;
   }
   if (pfirst->get_real_width() != pfirst->get_image()->width() || pfirst->get_real_height() != pfirst->get_image()->height())
   {
      __builtin_trap();
   }
   const string_base strWritten = pfirst->getImageAsHex();
   const pointer<image_layer> psecond = layer_of(strWritten);
   if (!psecond->get_image() || !same_pictures(*pfirst->get_image(), *psecond->get_image()) ||
       psecond->getImageAsHex() != strWritten)
   {
      __builtin_trap();
   }
   return 0;
}
