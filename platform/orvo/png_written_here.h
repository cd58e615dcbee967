#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "orvo/image.h"
#include "orvo/pointer.h"

namespace image::png_codec
{

// Decodes the PNG files this program writes in full colour (8 bits a channel, RGB or RGBA, not
// interlaced, each row unfiltered or filtered "up", no chunk but IHDR, IDAT and IEND, every CRC
// and the checksum of the data right) with a faster inflater: the very pixels libpng gives. None
// for any other file, and for any fault, which libpng then reads and reports as it always did.
std::optional<pointer<image>> decode_written_here(const std::uint8_t * pdata, std::size_t size);

} // namespace image::png_codec
