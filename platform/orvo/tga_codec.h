#pragma once

#include <cstddef>
#include <cstdint>

#include "orvo/image_service.h"

// TGA: read through stb_image, written by our own code.
namespace image::tga_codec
{

outcome<pointer<image>> decode(const std::uint8_t * pdata, std::size_t size);
// Run-length encoded true colour (image type 10), 32 bits a pixel, straight BGRA with 8 alpha bits,
// rows bottom first; no packet crosses a row.
outcome<std::vector<std::uint8_t>> encode(const image & image);

} // namespace image::tga_codec
