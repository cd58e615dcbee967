#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "orvo/image_service.h"

// BMP and TGA reading through stb_image.
namespace image::stb_decoder
{

// Whether the bytes are a BMP or TGA file that the decoder recognises.
bool recognises(const std::uint8_t * pdata, std::size_t size) noexcept;
// The size in the header of a BMP or TGA file; none for other bytes.
std::optional<size_type<int>> declared_size(const std::uint8_t * pdata, std::size_t size) noexcept;
// The caller has made sure that the file holds all the pixel data its header declares: the
// decoder would read a missing remainder as black.
outcome<pointer<image>> decode(const char * pszFormat, const std::uint8_t * pdata, std::size_t size);

} // namespace image::stb_decoder
