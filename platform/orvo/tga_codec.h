#pragma once

#include <cstddef>
#include <cstdint>

#include "orvo/image_service.h"

// TGA: read through stb_image, written by our own code.
namespace image::tga_codec
{

load_result decode(const std::uint8_t * pdata, std::size_t size);
// Run-length encoded true colour (image type 10), 32 bits a pixel, straight BGRA with 8 alpha bits,
// rows bottom first; no packet crosses a row.
encode_result encode(const image & image);

} // namespace image::tga_codec
