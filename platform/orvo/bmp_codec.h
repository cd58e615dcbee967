#pragma once

#include <cstddef>
#include <cstdint>

#include "orvo/image_service.h"

// BMP: read through stb_image, written by our own code.
namespace image::bmp_codec
{

bool has_signature(const std::uint8_t * pdata, std::size_t size) noexcept;
outcome<pointer<image>> decode(const std::uint8_t * pdata, std::size_t size);
// 32 bits a pixel, straight BGRA, rows bottom first, with a BITMAPV4HEADER whose BI_BITFIELDS masks
// name the alpha byte: the form that common viewers and editors read with its transparency.
outcome<std::vector<std::uint8_t>> encode(const image & image);

} // namespace image::bmp_codec
