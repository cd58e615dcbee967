// A screen layer read from any text, as a project block is read, and drawn: every width, count,
// colour, path and label that the text lets through reaches the drawing code. The drawing either
// reports why it cannot be made or leaves a picture of the layer's size.
#include <cstddef>
#include <cstdint>
#include <iostream>

#include "document/boxes_layer.h"
#include "orvo/image.h"
#include "orvo/trace.h"
#include "zel2d/context.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

// Small enough that one drawing takes milliseconds: the fuzzer should try many texts, not draw
// one large layer.
constexpr long long max_fuzzed_pixels = 1LL << 18;
constexpr long long max_fuzzed_boxes = 1LL << 12;

bool is_small_enough(const boxes_layer & layer)
{
   return static_cast<long long>(layer.get_full_width()) * layer.get_full_height() <= max_fuzzed_pixels &&
          static_cast<long long>(layer.Columns) * layer.Rows <= max_fuzzed_boxes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t * pdata, std::size_t size)
{
   set_logs_silent(true);
   std::cerr.setstate(std::ios::failbit);
   auto player = make_pointer<boxes_layer>();
   player->initialize(nullptr);
   player->apply_defaults();
   player->apply_layer_info(scoped_string_base(reinterpret_cast<const char *>(pdata), size));
   if (!is_small_enough(*player))
   {
      return 0;
   }
   zel2d::context context;
   bool bReported = false;
   player->build_frame(&context, [&bReported](scoped_string_base) { bReported = true; });
   const pointer<image::image> pimage = player->get_offscreen();
   const bool bHasPixels = player->get_full_width() > 0 && player->get_full_height() > 0;
   if (pimage && (pimage->width() != player->get_full_width() || pimage->height() != player->get_full_height()))
   {
      __builtin_trap();
   }
   if (bHasPixels && !pimage && !bReported)
   {
      __builtin_trap();
   }
   return 0;
}
