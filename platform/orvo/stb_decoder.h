#pragma once

#include <cstddef>
#include <cstdint>

#include "orvo/image_service.h"

// BMP and TGA reading through stb_image.
namespace image::stb_decoder
{

// Whether the bytes are a BMP or TGA file that the decoder recognises.
bool recognises(const std::uint8_t * pdata, std::size_t size) noexcept;
// iPixelsPerByte: the most pixels one byte of the format can hold, to refuse cut or forged sizes
// before the pixels are allocated.
load_result decode(const char * pszFormat, const std::uint8_t * pdata, std::size_t size, std::int64_t iPixelsPerByte);

} // namespace image::stb_decoder
